# Warnings are errors on our own code. Third-party headers (GNUstep, GoogleTest)
# are included as system headers and stay out of it.
function(decimora_strict target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX,OBJCXX>:-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Werror>
    $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra -Werror>
    # GNUstep's headers trigger this one on every Objective-C++ file.
    $<$<COMPILE_LANGUAGE:OBJCXX>:-Wno-subobject-linkage>)
endfunction()

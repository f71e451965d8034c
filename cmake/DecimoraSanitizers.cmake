# DECIMORA_SANITIZE builds everything of ours with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report ends the process with a failure.
if(DECIMORA_SANITIZE)
  set(_decimora_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${_decimora_san})
  add_link_options(${_decimora_san})
endif()

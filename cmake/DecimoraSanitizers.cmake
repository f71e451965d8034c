# DECIMORA_SANITIZE builds everything of ours with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report ends the process with a failure.
#
# DECIMORA_SANITIZE_THREAD builds everything of ours with ThreadSanitizer, for
# the tests that run code from several threads (scripts/reliability.sh). The
# two cannot be combined: ThreadSanitizer and AddressSanitizer each need the
# whole process to themselves.
option(DECIMORA_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(DECIMORA_SANITIZE AND DECIMORA_SANITIZE_THREAD)
  message(FATAL_ERROR
    "DECIMORA_SANITIZE and DECIMORA_SANITIZE_THREAD exclude each other: use one build folder for each")
endif()

if(DECIMORA_SANITIZE)
  set(_decimora_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${_decimora_san})
  add_link_options(${_decimora_san})
endif()

if(DECIMORA_SANITIZE_THREAD)
  set(_decimora_tsan -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${_decimora_tsan})
  add_link_options(${_decimora_tsan})
endif()

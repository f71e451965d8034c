# Run by cpack on the files it has staged for the package (through
# CPACK_PRE_BUILD_SCRIPTS): decimora-gimp's own copy of the bundles gives way
# to a relative link to the bundles in /usr/lib/decimora/plug-ins, so that
# the package holds them once and decimora-gimp still finds them in
# "plug-ins" beside it.

if(CPACK_DECIMORA_GIMP_PROGRAM_DIR)
  set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
  set(bundles "${CPACK_DECIMORA_BUNDLE_DIR}")
  set(gimp_bundles "${CPACK_DECIMORA_GIMP_PROGRAM_DIR}/plug-ins")
  if(NOT IS_DIRECTORY "${staged}${bundles}/Decimora.plugin")
    message(FATAL_ERROR "the package holds no ${bundles}/Decimora.plugin for decimora-gimp to use")
  endif()
  file(REMOVE_RECURSE "${staged}${gimp_bundles}")
  file(RELATIVE_PATH target "${CPACK_DECIMORA_GIMP_PROGRAM_DIR}" "${bundles}")
  file(CREATE_LINK "${target}" "${staged}${gimp_bundles}" SYMBOLIC)
endif()

# decimora_add_bundle(<module target>
#     NAME <bundle name> IDENTIFIER <reverse-DNS id>
#     [RESOURCES <file>...])
#
# Lays a MODULE library out as a plug-in bundle in ${DECIMORA_PLUGIN_DIR}:
#   macOS:  <NAME>.plugin/Contents/{MacOS/<NAME>, Info.plist, Resources/...}
#   GNUstep: <NAME>.plugin/{<NAME>, Resources/Info-gnustep.plist, Resources/...}
# The property list carries IDENTIFIER as the bundle identifier; the files in
# RESOURCES are copied into the bundle's resources.
function(decimora_add_bundle target)
  cmake_parse_arguments(ARG "" "NAME;IDENTIFIER" "RESOURCES" ${ARGN})
  set(BUNDLE_NAME "${ARG_NAME}")
  set(BUNDLE_IDENTIFIER "${ARG_IDENTIFIER}")
  set(BUNDLE_VERSION "${PROJECT_VERSION}")
  set(bundle_dir "${DECIMORA_PLUGIN_DIR}/${ARG_NAME}.plugin")
  if(APPLE)
    set(executable_dir "${bundle_dir}/Contents/MacOS")
    set(resource_dir "${bundle_dir}/Contents/Resources")
    set(plist "${bundle_dir}/Contents/Info.plist")
  else()
    set(executable_dir "${bundle_dir}")
    set(resource_dir "${bundle_dir}/Resources")
    set(plist "${resource_dir}/Info-gnustep.plist")
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX "" SUFFIX "" OUTPUT_NAME "${ARG_NAME}"
    LIBRARY_OUTPUT_DIRECTORY "${executable_dir}")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/Info.plist.in" "${plist}" @ONLY)
  foreach(resource IN LISTS ARG_RESOURCES)
    get_filename_component(resource_name "${resource}" NAME)
    configure_file("${resource}" "${resource_dir}/${resource_name}" COPYONLY)
  endforeach()
  set_property(TARGET ${target} PROPERTY DECIMORA_BUNDLE_DIR "${bundle_dir}")
endfunction()

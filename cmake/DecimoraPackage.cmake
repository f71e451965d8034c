# The Debian package: `cpack -G DEB` in a build folder writes
# decimora_<version>_amd64.deb with everything the install rules put under
# /usr (scripts/package.sh does it all).
#
# Its dependencies are read off the programs and bundles by dpkg-shlibdeps.
# decimora-gimp is linked against libgimp, so libgimp2.0 and its libraries
# are among them: the program can always start. GIMP itself is only
# suggested, since decimora alone needs no GIMP.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME decimora)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Decimora developers")
set(CPACK_PACKAGE_CONTACT "Decimora developers <support@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reduce images by a whole factor without moire")
set(CPACK_PACKAGE_DESCRIPTION "\
Decimora reduces TIFF, PNG, JPEG and WebP images by an integer factor
without introducing moire: a fine dot screen becomes the smooth tone it
shows from afar instead of a new pattern. Each result keeps its input's
format, metadata and colour profile.
.
The package holds the decimora command-line program, decimora-host (which
runs a plug-in on an in-memory document, for plug-in developers), the
Decimora and moire filter plug-in bundles, and decimora-gimp, which adds
Image > Reduce without Moire to GIMP 2.10.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS gimp)

# Everything under /usr; the absolute GIMP plug-in folder lands in the
# package too, through DESTDIR, instead of on this machine.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# The bundles once, in /usr/lib/decimora/plug-ins; decimora-gimp reaches
# them through a link (packaging/LinkGimpBundles.cmake).
set(CPACK_DECIMORA_BUNDLE_DIR "${CPACK_PACKAGING_INSTALL_PREFIX}/${DECIMORA_INSTALL_PLUGIN_DIR}")
if(DECIMORA_GIMP)
  set(CPACK_DECIMORA_GIMP_PROGRAM_DIR "${DECIMORA_GIMP_PLUGIN_DIR}/decimora-gimp")
endif()
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/packaging/LinkGimpBundles.cmake")

include(CPack)

# The Debian package (cpack -G DEB in the release build folder): the CUPS
# filter in CUPS's filter directory, the PPD where lpinfo -m finds it, the
# plug-in module, the base module, the export runner and the spooler
# stand-in library together under lib/tvzx (the plug-in finds the others
# beside itself), the tool, and the man pages. Every file is root's and
# writable by root alone, as a scheduler running as root demands of its
# filters. scripts/package_check.sh installs the package and proves it from
# its installed files alone.
# The host's programs look for the installed files at the same places
# (host/CMakeLists.txt).
set(TVZX_PACKAGE_PREFIX /usr)
set(TVZX_LIB_DIR lib/tvzx)
set(TVZX_PROGRAM_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(TVZX_DATA_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Installed programs and modules load the spooler stand-in from the
# package's own library folder, the only run path they keep: none points
# into a build folder. A build folder's programs keep their build run path.
foreach(target tvzx pstotvzx tvzx-printer-app tvzx_ps tvzx_base tvzx_rundll)
  if(TARGET ${target})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH ${TVZX_PACKAGE_PREFIX}/${TVZX_LIB_DIR})
  endif()
endforeach()

if(TARGET pstotvzx)
  install(TARGETS pstotvzx RUNTIME DESTINATION lib/cups/filter PERMISSIONS ${TVZX_PROGRAM_PERMISSIONS})
endif()
foreach(module tvzx_ps tvzx_base tvzx_spooler)
  if(TARGET ${module})
    install(TARGETS ${module} LIBRARY DESTINATION ${TVZX_LIB_DIR} PERMISSIONS ${TVZX_DATA_PERMISSIONS})
  endif()
endforeach()
if(TARGET tvzx_rundll)
  install(TARGETS tvzx_rundll RUNTIME DESTINATION ${TVZX_LIB_DIR} PERMISSIONS ${TVZX_PROGRAM_PERMISSIONS})
endif()
install(TARGETS tvzx RUNTIME DESTINATION bin PERMISSIONS ${TVZX_PROGRAM_PERMISSIONS})
# The printer application and the service that runs it.
set(TVZX_MAN_PAGES doc/man/tvzx.1 doc/man/pstotvzx.8)
if(TARGET tvzx-printer-app)
  install(TARGETS tvzx-printer-app RUNTIME DESTINATION bin PERMISSIONS ${TVZX_PROGRAM_PERMISSIONS})
  install(FILES ${PROJECT_SOURCE_DIR}/tools/printer_app/tvzx-printer-app.service DESTINATION lib/systemd/system
          PERMISSIONS ${TVZX_DATA_PERMISSIONS})
  list(APPEND TVZX_MAN_PAGES doc/man/tvzx-printer-app.8)
endif()
# The sample printer's data goes beside the PPD, where tvzx render
# --sample tabs looks for it.
install(FILES ${PROJECT_SOURCE_DIR}/data/tvzx.ppd ${PROJECT_SOURCE_DIR}/data/sample_printer.reg
        DESTINATION share/ppd/tvzx PERMISSIONS ${TVZX_DATA_PERMISSIONS})

# Man pages and the changelog go compressed as Debian wants them: gzip -9n,
# without name or time stamp, so the same sources give the same bytes.
set(TVZX_PACKAGE_FILES ${PROJECT_BINARY_DIR}/package)
set(TVZX_COMPRESSED)
foreach(source ${TVZX_MAN_PAGES} cmake/debian/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${TVZX_PACKAGE_FILES}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TVZX_PACKAGE_FILES}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/${source} ${TVZX_PACKAGE_FILES}/${name}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND TVZX_COMPRESSED ${TVZX_PACKAGE_FILES}/${name}.gz)
endforeach()
add_custom_target(tvzx_package_files ALL DEPENDS ${TVZX_COMPRESSED})
foreach(page ${TVZX_MAN_PAGES})
  get_filename_component(name ${page} NAME)
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${name})
  install(FILES ${TVZX_PACKAGE_FILES}/${name}.gz DESTINATION share/man/man${section} PERMISSIONS ${TVZX_DATA_PERMISSIONS})
endforeach()
# A package built here is native: its changelog is changelog.gz.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${TVZX_PACKAGE_FILES}/changelog.gz
        DESTINATION share/doc/tvzx PERMISSIONS ${TVZX_DATA_PERMISSIONS})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tvzx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${TVZX_PACKAGE_PREFIX})
# A reserved example domain: the project has no public address yet.
set(CPACK_PACKAGE_CONTACT "TVZX maintainers <tvzx@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "CUPS filter, PPD and IPP printer application for the TVZX printer family")
set(CPACK_PACKAGE_DESCRIPTION
"Prints from CUPS to the TVZX family of production printers with their
finishing units: staplers, punches, folders, saddle stitchers, perfect
binders, post-inserters and large stackers. The filter pstotvzx prints each
job through the printer family's rendering plug-in, driven by a simulated
PostScript driver host, so the printer receives the same PJL job ticket,
feature dictionary, job-settings comments and tab sheets as from the
Windows driver.

The package holds the filter, the printers' PPD (lpinfo -m lists it), the
plug-in and its companion modules, the tvzx tool, which renders jobs,
shows job settings and wakes printers from the command line, and
tvzx-printer-app, an IPP Everywhere printer application with a service, to
which any IPP client prints without a driver.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
# The shared libraries the programs load, with the versions they were
# built against, as dpkg-shlibdeps finds them (Debian package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, cups-filters, ghostscript")
set(CPACK_STRIP_FILES ON)
# Directories the package shares with others keep their usual owner and mode.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The Debian package (cpack -G DEB in the release build folder): the CUPS
# filter in CUPS's filter directory, the PPD where lpinfo -m finds it, the
# plug-in module, the base module and the export runner together under
# lib/tvzx (the plug-in finds the others beside itself), the tool, and the
# man pages. Every file is root's and writable by root alone, as a
# scheduler running as root demands of its filters.
# The host's programs look for the installed files at the same places
# (host/CMakeLists.txt).
set(TVZX_LIB_DIR lib/tvzx)
set(TVZX_PROGRAM_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(TVZX_DATA_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

if(TARGET pstotvzx)
  install(TARGETS pstotvzx RUNTIME DESTINATION lib/cups/filter PERMISSIONS ${TVZX_PROGRAM_PERMISSIONS})
endif()
foreach(module tvzx_ps tvzx_base)
  if(TARGET ${module})
    install(TARGETS ${module} LIBRARY DESTINATION ${TVZX_LIB_DIR} PERMISSIONS ${TVZX_DATA_PERMISSIONS})
  endif()
endforeach()
if(TARGET tvzx_rundll)
  install(TARGETS tvzx_rundll RUNTIME DESTINATION ${TVZX_LIB_DIR} PERMISSIONS ${TVZX_PROGRAM_PERMISSIONS})
endif()
install(TARGETS tvzx RUNTIME DESTINATION bin PERMISSIONS ${TVZX_PROGRAM_PERMISSIONS})
# The sample printer's data goes beside the PPD, where tvzx render
# --sample tabs looks for it.
install(FILES ${PROJECT_SOURCE_DIR}/data/tvzx.ppd ${PROJECT_SOURCE_DIR}/data/sample_printer.reg
        DESTINATION share/ppd/tvzx PERMISSIONS ${TVZX_DATA_PERMISSIONS})
install(FILES ${PROJECT_SOURCE_DIR}/doc/man/tvzx.1 DESTINATION share/man/man1 PERMISSIONS ${TVZX_DATA_PERMISSIONS})
install(FILES ${PROJECT_SOURCE_DIR}/doc/man/pstotvzx.8 DESTINATION share/man/man8 PERMISSIONS ${TVZX_DATA_PERMISSIONS})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tvzx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "TVZX maintainers <tvzx@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "CUPS filter and PPD for the TVZX production printer family")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcups2, libc6, libstdc++6, libgcc-s1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, cups-filters, ghostscript")
# Directories the package shares with others keep their usual owner and mode.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

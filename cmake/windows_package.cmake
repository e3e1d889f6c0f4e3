# The Windows driver package (cpack -G ZIP in the Windows build folder):
# tvzx_<version>_windows_x64.zip with one folder holding the setup
# information tvzx.inf, the plug-in configuration file, the family's PPD,
# the modules, the tool and a short text on installing it. The INF is made
# from tools/driver_package/tvzx.inf.in: the models from the PPD, the driver
# version from the project's, and the lists of files from the one list below.
set(TVZX_PACKAGE_SOURCE ${PROJECT_SOURCE_DIR}/tools/driver_package)
set(TVZX_PACKAGE_DIR ${PROJECT_BINARY_DIR}/driver_package)
set(TVZX_PACKAGE_PPD ${PROJECT_SOURCE_DIR}/data/tvzx.ppd)
set(TVZX_PPD tvzx.ppd)
set(TVZX_PLUGIN_INI tvzx_ps.ini)
set(TVZX_PLUGIN_MODULE tvzx_ps.dll)
set(TVZX_LANGUAGE_FILE tvzx.lng)
# The table of texts in further languages (tvzx lng pack input): the
# languages a language file may add, each a column; a text it lacks falls
# back to English. The built-in languages cannot go into it.
set(TVZX_LANGUAGE_TABLE ${PROJECT_SOURCE_DIR}/data/languages.txt CACHE FILEPATH "Texts in further languages for the package's language file")
# The language file is packed by a tvzx of the build machine.
set(TVZX_NATIVE_TOOL ${PROJECT_SOURCE_DIR}/build/tools/tvzx/tvzx CACHE FILEPATH "A tvzx that runs on the build machine")
if(TVZX_LANGUAGE_TABLE AND NOT EXISTS ${TVZX_NATIVE_TOOL})
  message(FATAL_ERROR "The driver package's language file is packed by a tvzx of this machine: "
                      "build it first (cmake --build build) or name one with -DTVZX_NATIVE_TOOL=PATH; "
                      "-DTVZX_LANGUAGE_TABLE= makes a package without a language file")
endif()

# Returns the text of a PPD main keyword's value, without its quotes.
function(tvzx_ppd_value keyword out)
  file(STRINGS ${TVZX_PACKAGE_PPD} lines REGEX "^\\*${keyword}: ")
  list(LENGTH lines count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "${TVZX_PACKAGE_PPD}: ${count} *${keyword} lines, one wanted")
  endif()
  string(REGEX REPLACE "^\\*${keyword}: \"(.*)\"$" "\\1" value "${lines}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

tvzx_ppd_value(Manufacturer TVZX_MANUFACTURER)
tvzx_ppd_value(ModelName TVZX_MODEL_NAME)
tvzx_ppd_value(NickName TVZX_NICKNAME)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TVZX_PACKAGE_PPD})

# The model: the driver's name is the PPD's nickname. Its hardware identifier
# is the 1284 device ID's manufacturer and model run together, blanks as
# underscores, cut to 20 characters, as the port enumerators make it (they
# append a checksum of their own, which a publisher reads from the setup log
# of an installed printer and adds as a further identifier).
string(REGEX REPLACE "^${TVZX_MANUFACTURER} " "" TVZX_1284_MODEL "${TVZX_MODEL_NAME}")
string(REPLACE " " "_" TVZX_HARDWARE_ID "${TVZX_MANUFACTURER}${TVZX_1284_MODEL}")
string(SUBSTRING "${TVZX_HARDWARE_ID}" 0 20 TVZX_HARDWARE_ID)
set(TVZX_MODEL_LINES "%TVZX.Model1%=TVZX_INSTALL,${TVZX_HARDWARE_ID}")
set(TVZX_MODEL_STRINGS "TVZX.Model1=\"${TVZX_NICKNAME}\"")

# DriverVer: the date of the build (SOURCE_DATE_EPOCH when set) and the
# project's version in four parts.
string(TIMESTAMP TVZX_DRIVER_DATE "%m/%d/%Y" UTC)
set(TVZX_DRIVER_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)

# The files the driver installs, in the order the INF lists them.
set(TVZX_DRIVER_FILES ${TVZX_PPD} ${TVZX_PLUGIN_INI} ${TVZX_PLUGIN_MODULE} tvzx.dll tvzx_n.dll)
if(TVZX_LANGUAGE_TABLE)
  list(APPEND TVZX_DRIVER_FILES ${TVZX_LANGUAGE_FILE})
endif()
set(TVZX_COPY_LINES "")
set(TVZX_SOURCE_LINES "")
foreach(name ${TVZX_DRIVER_FILES})
  string(APPEND TVZX_COPY_LINES "${name}\n")
  string(APPEND TVZX_SOURCE_LINES "${name}=1\n")
endforeach()
string(STRIP "${TVZX_COPY_LINES}" TVZX_COPY_LINES)
string(STRIP "${TVZX_SOURCE_LINES}" TVZX_SOURCE_LINES)

# Setup information and text files with the line ends of Windows.
configure_file(${TVZX_PACKAGE_SOURCE}/tvzx.inf.in ${TVZX_PACKAGE_DIR}/tvzx.inf @ONLY NEWLINE_STYLE CRLF)
configure_file(${TVZX_PACKAGE_SOURCE}/tvzx_ps.ini.in ${TVZX_PACKAGE_DIR}/${TVZX_PLUGIN_INI} @ONLY NEWLINE_STYLE CRLF)
configure_file(${TVZX_PACKAGE_SOURCE}/INSTALL.txt.in ${TVZX_PACKAGE_DIR}/INSTALL.txt @ONLY NEWLINE_STYLE CRLF)

set(TVZX_PACKAGE_FOLDER .)
# The sample printer's data goes beside the PPD, where tvzx.exe render
# --sample tabs looks for it.
install(FILES ${TVZX_PACKAGE_DIR}/tvzx.inf ${TVZX_PACKAGE_DIR}/${TVZX_PLUGIN_INI} ${TVZX_PACKAGE_DIR}/INSTALL.txt
              ${TVZX_PACKAGE_PPD} ${PROJECT_SOURCE_DIR}/data/sample_printer.reg
        DESTINATION ${TVZX_PACKAGE_FOLDER})
install(FILES $<TARGET_FILE:tvzx_ps> $<TARGET_FILE:tvzx_base> $<TARGET_FILE:tvzx_notify> $<TARGET_FILE:tvzx>
        DESTINATION ${TVZX_PACKAGE_FOLDER})
if(TVZX_LANGUAGE_TABLE)
  set(TVZX_LANGUAGE_OUTPUT ${TVZX_PACKAGE_DIR}/${TVZX_LANGUAGE_FILE})
  add_custom_command(
    OUTPUT ${TVZX_LANGUAGE_OUTPUT}
    COMMAND ${TVZX_NATIVE_TOOL} lng pack ${TVZX_LANGUAGE_TABLE} ${TVZX_LANGUAGE_OUTPUT}
    DEPENDS ${TVZX_LANGUAGE_TABLE} ${TVZX_NATIVE_TOOL}
    COMMENT "Packing the language file of the driver package"
    VERBATIM)
  add_custom_target(tvzx_language_file ALL DEPENDS ${TVZX_LANGUAGE_OUTPUT})
  install(FILES ${TVZX_LANGUAGE_OUTPUT} DESTINATION ${TVZX_PACKAGE_FOLDER})
endif()

# The checker of the package, run under Wine by scripts/wine_check.sh.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/inf_check ${PROJECT_BINARY_DIR}/tools/inf_check)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tvzx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tvzx_${PROJECT_VERSION}_windows_x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)

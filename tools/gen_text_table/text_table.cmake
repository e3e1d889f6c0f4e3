# Generates the built-in text table from its readable source at build time
# and adds it to the plug-in core. Included from src/CMakeLists.txt after the
# core library is declared.
set(TVZX_TEXT_TABLE_SOURCE ${PROJECT_SOURCE_DIR}/src/l10n/text_table.tsv)
set(TVZX_TEXT_TABLE_GENERATOR ${CMAKE_CURRENT_LIST_DIR}/gen_text_table.cmake)
set(TVZX_TEXT_TABLE_OUTPUT ${PROJECT_BINARY_DIR}/generated/l10n/text_table_data.cpp)

add_custom_command(
  OUTPUT ${TVZX_TEXT_TABLE_OUTPUT}
  COMMAND ${CMAKE_COMMAND} -DINPUT=${TVZX_TEXT_TABLE_SOURCE} -DOUTPUT=${TVZX_TEXT_TABLE_OUTPUT}
          -P ${TVZX_TEXT_TABLE_GENERATOR}
  DEPENDS ${TVZX_TEXT_TABLE_SOURCE} ${TVZX_TEXT_TABLE_GENERATOR}
  COMMENT "Generating the built-in text table"
  VERBATIM)
target_sources(tvzx_core PRIVATE ${TVZX_TEXT_TABLE_OUTPUT})

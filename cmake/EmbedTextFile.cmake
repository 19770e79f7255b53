# cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DNAMESPACE=NS -DFUNCTION=NAME -DHEADER=H -P EmbedTextFile.cmake
# Writes a source file whose function NS::NAME() returns the text of INPUT, so that a
# file kept in the source tree becomes part of a library without being read at run time.
file(READ "${INPUT}" text)
set(delimiter "embedded_text")
string(FIND "${text}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw-string delimiter ${delimiter}")
endif()
file(WRITE "${OUTPUT}"
  "// Generated from ${INPUT} by EmbedTextFile.cmake; edit that file instead.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace ${NAMESPACE} {\n\n"
  "std::string_view ${FUNCTION}() {\n"
  "  static constexpr char kText[] = R\"${delimiter}(${text})${delimiter}\";\n"
  "  return {kText, sizeof(kText) - 1};\n"
  "}\n\n"
  "}  // namespace ${NAMESPACE}\n")

# cmake -DROOT=assets -DOUT=file.cpp -P embed_assets.cmake
# Writes a C++ source that holds every file below ROOT as bytes, in the
# table zr::night::shippedAssets (names relative to ROOT, with slashes), so
# that racenight carries its default style sheet and images wherever it is
# installed or copied.
file(GLOB_RECURSE files RELATIVE "${ROOT}" "${ROOT}/*")
list(SORT files)
set(arrays "")
set(rows "")
set(index 0)
foreach(name ${files})
  file(READ "${ROOT}/${name}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char asset${index}[] = {${bytes}};\n")
  string(APPEND rows "    {\"${name}\", asset${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUT}.new" "// Written by cmake/embed_assets.cmake from the files in assets/; do not edit.\n"
  "#include \"assets.h\"\n\nnamespace zr::night {\nnamespace {\n${arrays}}  // namespace\n\n"
  "const std::vector<Asset>& shippedAssets() {\n    static const std::vector<Asset> assets = {\n${rows}    };\n"
  "    return assets;\n}\n\n}  // namespace zr::night\n")
# Rewritten only when it changes, so that an unchanged table is not compiled again.
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")

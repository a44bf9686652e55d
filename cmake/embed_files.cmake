# Turns every *.csv file under DIR (searched in the subfolders initial and
# demo) into a C++ source that defines mvz::embedded::sampleFiles: the files'
# names relative to DIR and their bytes, so the program always carries the
# sample data it was built with.
file(GLOB files RELATIVE ${DIR} ${DIR}/initial/*.csv ${DIR}/demo/*.csv)
list(SORT files)
set(arrays "")
set(entries "")
set(n 0)
foreach(name IN LISTS files)
  file(READ ${DIR}/${name} hex HEX)
  string(LENGTH "${hex}" len)
  math(EXPR count "${len} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char file${n}[] = {${bytes}0};\n")
  string(APPEND entries "    {\"${name}\", file${n}, ${count}},\n")
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE ${OUT}
  "#include \"setup/sample_blobs.h\"\n"
  "namespace mvz::embedded {\nnamespace {\n${arrays}} // namespace\n"
  "extern const SampleBlob sampleBlobs[] = {\n${entries}    {nullptr, nullptr, 0}};\n}\n")

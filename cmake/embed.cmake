# Writes a binary file as a C++ array: cmake -DINPUT=f -DOUTPUT=f.cpp -DNAME=kName -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}" "// Generated from ${name}.\n#include <cstddef>\nnamespace qvl {\n"
     "extern const unsigned char ${NAME}[];\nextern const std::size_t ${NAME}Size;\n"
     "const unsigned char ${NAME}[] = {${bytes}};\n"
     "const std::size_t ${NAME}Size = sizeof ${NAME};\n}  // namespace qvl\n")

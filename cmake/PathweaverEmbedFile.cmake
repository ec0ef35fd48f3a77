# Writes PW_RES_OUT: a C++ source holding the bytes of PW_RES_FILE as ${PW_RES_SYMBOL}_data and
# their count as ${PW_RES_SYMBOL}_size. Run by pw_embed_resources at build time.
file(READ "${PW_RES_FILE}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
if(size EQUAL 0)
    set(bytes "0")
else()
    # 16 bytes to a line, then every pair of hex digits becomes one initialiser.
    string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])"
           "\\1\n" hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
endif()
file(WRITE "${PW_RES_OUT}.part"
"// Generated from ${PW_RES_FILE}.
#include <cstddef>

extern const unsigned char ${PW_RES_SYMBOL}_data[] = {
${bytes}
};
extern const std::size_t ${PW_RES_SYMBOL}_size = ${size};
")
file(RENAME "${PW_RES_OUT}.part" "${PW_RES_OUT}")

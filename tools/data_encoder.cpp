// Writes a file's bytes as one unbroken run of standard Base64, the form of the program's data files.
//
//     data_encoder <input> <output>

#include "platform/core/base64.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: data_encoder <input> <output>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "data_encoder: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << vendrel::EncodeBase64(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    out.close();
    if (!out) {
        std::fprintf(stderr, "data_encoder: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

// tvzx_make_ppd FILE: writes the printer family's PPD file, built from the
// plug-in's option tables.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "host/ppd_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tvzx_make_ppd FILE\n";
        return 2;
    }
    const std::string path = argv[1];
    const std::string text = tvzx::host::ppdText();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        std::cerr << "tvzx_make_ppd: cannot write " << path << '\n';
        return 1;
    }
    return 0;
}

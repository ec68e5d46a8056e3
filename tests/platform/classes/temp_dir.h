#pragma once
// A fresh folder for one test, removed with everything in it afterwards, and whole-file
// reading and writing for the file classes' tests.

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/temp_folder.h"

class TempDir : public TempFolder {
public:
    TempDir() : TempFolder("tovak-classes") {}

    static void Write(const std::string& file, const std::string& bytes) {
        std::ofstream out(file, std::ios::binary);
        out << bytes;
    }
    static std::string Read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

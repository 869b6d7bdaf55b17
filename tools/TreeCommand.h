#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool tree [--raw] FILE: loads a tree document file and writes its
// normalised text to out. Exit codes: 0 done, 1 reader error, 2 file error,
// 64 bad arguments.
class TreeCommand {
public:
    static constexpr const char* Usage = "tree [--raw] FILE";
    static constexpr const char* Summary =
        "load a tree document file and write it back in its normal form";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};

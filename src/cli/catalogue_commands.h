#pragma once

#include <ostream>
#include <span>
#include <string>

// `tonewright-syx catalogue ...`: importing bank files into the sound
// catalogue, finding sounds in it and exporting them as a bank file.

// The words after "catalogue"; returns a SyxExit status.
int RunCatalogueCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// What `--help` shows for the catalogue commands: the first command's
// arguments, then the rest.
inline constexpr const char* CatalogueImportArguments = "import [--catalogue FILE] PATH...";
inline constexpr const char* CatalogueSummary =
    "imports the bank files named and the .syx files of folders named (with\n"
    "      their subfolders) into the sound catalogue, each sound once; a file\n"
    "      imported before and unchanged since is skipped\n"
    "  catalogue find [--catalogue FILE] [--category C] [--favourite] TEXT\n"
    "      one line per sound whose name holds TEXT (any case; \"\" for all): name,\n"
    "      TAB, category, TAB, its sources; C is one of bass, lead, pad, keys, brass,\n"
    "      strings, pluck, fx, percussion, sequence (or arp), other\n"
    "  catalogue export [--catalogue FILE] [--category C] [--favourite] --out FILE TEXT\n"
    "      writes the sounds \"find\" lists, at most 384, to one bank file from A001 on";

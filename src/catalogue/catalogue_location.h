#pragma once

#include <string>

// The catalogue's file in the user's data folder
// (QStandardPaths::AppDataLocation), "catalogue.sqlite"; UTF-8.
std::string DefaultCataloguePath();

// `drubelkit build`: a product folder made into the product's discs.
//
// A product folder holds Drubel.ini (UTF-8, a byte-order mark allowed, with
// @SIZE:path@ and @MD5:path@ fields), disc1/ ... discN/ (each disc's files
// as they will be on the disc) and art/ (PNG pictures, art/NAME.png being
// the archive member NAME.EPA).
#pragma once

#include "images/iso_image.h"

#include <string>

struct BuildOptions {
    std::string Product;
    std::string Out;
    std::string Launcher;  // the Drubel.exe that goes on disc 1
    bool Images = false;   // OUT/disc1.iso ... as well
    const IsoMedium* Medium = FindIsoMedium("dvd");  // what every disc must fit
    bool Fixed = false;    // SOURCE_DATE_EPOCH dates every built file and image
    int64_t FixedTime = 0;
};

// Builds OUT/disc1 ... OUT/discN (and the images) beside OUT and renames it into place once
// the full check of the result passed. Progress goes to standard output,
// findings to standard error. Returns the exit status.
int BuildProduct(const BuildOptions& options);

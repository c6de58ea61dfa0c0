// The files the lap-statistics pages link, shipped inside racenight: the
// default style sheet Zant_Raceboards.css and the neutral images in images/
// (one badge per car make, heatboard's grid marks), drawn into assets/ by
// scripts/draw_assets.py.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zr::night {

struct Asset {
    const char* name;  // relative to the pages, with slashes: "images/logo_BRM.gif"
    const unsigned char* data;
    std::size_t size;
};

// Built from assets/ by cmake/embed_assets.cmake.
const std::vector<Asset>& shippedAssets();

// Copies every asset into `folder` unless a file of that name is there
// already (a league's own style and logos win). Returns a warning for each
// that could not be written.
std::vector<std::string> placeAssets(const std::string& folder);

}  // namespace zr::night

#include "assets.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace zr::night {

std::vector<std::string> placeAssets(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> warnings;
    for (const Asset& asset : shippedAssets()) {
        const fs::path target = fs::path(folder) / fs::path(asset.name);
        std::error_code ec;
        if (fs::exists(target, ec)) continue;
        fs::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary);
        out.write(reinterpret_cast<const char*>(asset.data), static_cast<std::streamsize>(asset.size));
        if (!out) warnings.push_back("The page file " + target.string() + " could not be written.");
    }
    return warnings;
}

}  // namespace zr::night

// SPDX-License-Identifier: MIT
// Arbitrary bytes as the profile file, read for a window's placement: the
// reader must come back with a placement it may apply (a normal rectangle
// whose left is before its right), a fixed-size window must keep its size,
// and a placement written back must read back the same.

#include "common/errors.h"
#include "fuzz/fuzz_support.h"
#include "storage/core/ini_file.h"
#include "storage/core/placement_keys.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using dw::fuzz::Check;

const std::filesystem::path& Directory() { return dw::fuzz::ScratchDirectory("placement"); }

dw::TPlacementReadRequest Request(bool fixedSize)
{
    dw::TPlacementReadRequest request;
    request.Current.NormalPosition = {192, 109, 637, 474};
    request.Bounds = {192, 109, 637, 474};
    request.FixedSize = fixedSize;
    request.Screen = {1024, 768, 96};
    return request;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The words of one key on their own.
    const auto words = dw::ParsePlacementNumbers(bytes, {1, 2, 3, 4});
    (void)words;

    const std::filesystem::path path = Directory() / "davov";
    dw::fuzz::PutFile(path, bytes);
    dw::TIniFile ini(path.string());

    for (const bool fixedSize : {false, true}) {
        const dw::TPlacementReadRequest request = Request(fixedSize);
        const dw::TPlacementReadResult result = dw::ReadPlacementKeys(ini, "TForm1", request);
        Check(result.ApplyState, "the state was not decided");
        if (result.ApplyPosition) {
            const dw::TPlacementRect& rect = result.Placement.NormalPosition;
            Check(rect.Left < rect.Right, "an empty rectangle is to be applied");
            if (fixedSize && rect.Left <= INT32_MAX - 445 && rect.Top <= INT32_MAX - 365)
                Check(rect.Right - rect.Left == 445 && rect.Bottom - rect.Top == 365, "a fixed size changed");
        }
    }

    // What a save writes over whatever the file held reads back unchanged.
    const dw::TPlacementReadResult first = dw::ReadPlacementKeys(ini, "TForm1", Request(false));
    dw::TWindowPlacementRecord placement = first.Placement;
    placement.ShowCmd = dw::kShowMaximized;
    try {
        dw::WritePlacementKeys(ini, "TForm1", placement, Request(false).Screen);
    } catch (const dw::EFileError&) {
        // A file holding a name that cannot be written back is refused whole.
        return 0;
    }
    const dw::TPlacementReadResult again = dw::ReadPlacementKeys(ini, "TForm1", Request(false));
    Check(again.Placement.Flags == placement.Flags, "Flags did not read back");
    Check(again.Placement.MinPosition == placement.MinPosition, "MinMaxPos did not read back");
    Check(again.Placement.MaxPosition == placement.MaxPosition, "MinMaxPos did not read back");
    Check(again.Placement.NormalPosition == placement.NormalPosition, "NormPos did not read back");
    Check(again.State == dw::TWindowShowState::Maximized, "ShowCmd did not read back");
    Check(again.ApplyPosition == (placement.NormalPosition.Left < placement.NormalPosition.Right),
          "a written placement is not applied");
    return 0;
}

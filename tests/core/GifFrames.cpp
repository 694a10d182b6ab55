#include "GifFrames.h"

#include <gif_lib.h>

#include <cstring>

namespace qmtest {

DecodedGif decodeGif(const std::string& path) {
    DecodedGif out;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return out;
    if (DGifSlurp(gif) != GIF_OK || !gif->SColorMap) {
        DGifCloseFile(gif, &error);
        return out;
    }
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    std::vector<uint32_t> canvas(static_cast<std::size_t>(out.width) * out.height, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (d.Left < 0 || d.Top < 0 || d.Left + d.Width > out.width || d.Top + d.Height > out.height) {
            DGifCloseFile(gif, &error);
            return out;
        }
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& b = image.ExtensionBlocks[e];
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                std::memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0)
                out.loops = true;
        }
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        out.delaysCs.push_back(control.DelayTime);
        out.stored.push_back(GifRect{d.Left, d.Top, d.Width, d.Height});
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const GifColorType c = map->Colors[image.RasterBits[y * d.Width + x]];
                canvas[static_cast<std::size_t>(d.Top + y) * out.width + d.Left + x] =
                    uint32_t{c.Red} | uint32_t{c.Green} << 8 | uint32_t{c.Blue} << 16;
            }
        out.frames.push_back(canvas);
    }
    out.ok = DGifCloseFile(gif, &error) == GIF_OK;
    return out;
}

}  // namespace qmtest

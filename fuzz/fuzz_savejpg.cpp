// DCSavetoJPEG with arbitrary sizes, strides, pixel formats, qualities and
// paths over a pixel buffer of our own. Arguments that would make it read past
// that buffer are never passed, as the library's contract asks of its callers;
// everything else is. What it reports must be true: a saved file decodes to
// the size asked for, and invalid arguments never save anything.

#include "savejpg.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
alignas(16) std::uint8_t g_pixels[kBufferSize];
std::string g_folder;

class Input
{
  public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    template <typename T> T take()
    {
        T value{};
        const std::size_t n = std::min(sizeof(T), m_size);
        std::memcpy(&value, m_data, n);
        m_data += n;
        m_size -= n;
        return value;
    }
    const std::uint8_t* rest() const { return m_data; }
    std::size_t restSize() const { return m_size; }

  private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

int bytesPerPixel(std::int32_t format)
{
    return format == SNIP_PIXEL_RGB                                 ? 3
           : format >= SNIP_PIXEL_BGRX && format <= SNIP_PIXEL_RGBX ? 4
                                                                    : 0;
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Decodes the file fully; true when it is a whole JPEG of this size.
bool isCompleteJpeg(const char* path, int width, int height)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::string bytes;
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.append(chunk, n);
    std::fclose(file);
    tjhandle handle = tjInitDecompress();
    int w = 0, h = 0, subsampling = 0, colorspace = 0;
    const auto* jpeg = reinterpret_cast<const unsigned char*>(bytes.data());
    bool complete =
        tjDecompressHeader3(handle, jpeg, bytes.size(), &w, &h, &subsampling, &colorspace) == 0 &&
        w == width && h == height;
    if (complete) {
        std::string pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, '\0');
        complete = tjDecompress2(handle, jpeg, bytes.size(),
                                 reinterpret_cast<unsigned char*>(pixels.data()), w, 0, h, TJPF_RGB,
                                 TJFLAG_STOPONWARNING) == 0;
    }
    tjDestroy(handle);
    return complete;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char folder[] = "/tmp/snipwell-fuzz-XXXXXX";
    if (!mkdtemp(folder))
        std::abort();
    g_folder = folder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input(data, size);
    const auto shape = input.take<std::uint8_t>();
    // Small sizes most of the time, so that most calls get as far as encoding.
    std::int32_t width = input.take<std::int32_t>();
    std::int32_t height = input.take<std::int32_t>();
    std::int32_t stride = input.take<std::int32_t>();
    if (shape & 1) {
        width = static_cast<std::int32_t>(static_cast<std::uint32_t>(width) % 300);
        height = static_cast<std::int32_t>(static_cast<std::uint32_t>(height) % 300);
    }
    const std::int32_t format = (shape & 2) ? input.take<std::int8_t>() : 1 + (shape >> 5) % 6;
    const int bpp = bytesPerPixel(format);
    if (shape & 4) {
        // A stride just wide enough, or a little wider; kept within 32 bits.
        const std::int64_t wanted =
            static_cast<std::int64_t>(width) * bpp + static_cast<std::uint32_t>(stride) % 64;
        stride = static_cast<std::int32_t>(std::clamp<std::int64_t>(wanted, INT32_MIN, INT32_MAX));
    }
    const auto quality = input.take<std::uint32_t>();
    const auto progressive = input.take<std::int32_t>();
    const int where = (shape >> 3) & 3;

    // Only what the contract allows: no call may need more than the buffer holds.
    const bool valid = width > 0 && height > 0 && width <= 65500 && height <= 65500 && bpp > 0 &&
                       static_cast<std::int64_t>(stride) >= static_cast<std::int64_t>(width) * bpp;
    if (valid) {
        const std::uint64_t span = static_cast<std::uint64_t>(stride) * (height - 1) +
                                   static_cast<std::uint64_t>(width) * bpp;
        if (span > kBufferSize)
            return 0;
    }
    for (std::size_t i = 0; i < kBufferSize; ++i)
        g_pixels[i] = input.restSize() ? input.rest()[i % input.restSize()] : std::uint8_t(i);

    const std::string target = g_folder + "/piece.jpg";
    const std::string missing = g_folder + "/no/such/folder/piece.jpg";
    const char* path = where == 0   ? target.c_str()
                       : where == 1 ? missing.c_str()
                       : where == 2 ? ""
                                    : nullptr;
    const SnipDC dc{g_pixels, stride, format};
    unlink(target.c_str());
    const std::int16_t result = DCSavetoJPEG(&dc, width, height, path, quality, progressive);
    require(result == 0 || result == -1);
    const bool writable = where == 0;
    require((result == -1) == (valid && writable));
    if (result == -1)
        require(isCompleteJpeg(target.c_str(), width, height));
    struct stat info;
    if (result == 0)
        require(stat(target.c_str(), &info) != 0);
    return 0;
}

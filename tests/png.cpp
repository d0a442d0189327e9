// A PNG writer for screenshots: RGB rows in a zlib stream of stored (uncompressed) blocks,
// which needs no compressor and any viewer reads.
#include "driver.h"

#include <stdio.h>
#include <stdint.h>

static uint32_t Crc32(uint32_t crc, const unsigned char *data, size_t size)
{
    static uint32_t table[256];
    if (!table[1])
        for (uint32_t n = 0; n < 256; n++) {
            uint32_t c = n;
            for (int k = 0; k < 8; k++)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    crc = ~crc;
    for (size_t i = 0; i < size; i++)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void PutBig32(std::vector<unsigned char> &out, uint32_t v)
{
    out.push_back(v >> 24);
    out.push_back(v >> 16);
    out.push_back(v >> 8);
    out.push_back(v);
}

static void PutChunk(FILE *f, const char *type, const std::vector<unsigned char> &data)
{
    std::vector<unsigned char> chunk;
    PutBig32(chunk, (uint32_t)data.size());
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    PutBig32(chunk, Crc32(0, chunk.data() + 4, chunk.size() - 4));
    fwrite(chunk.data(), 1, chunk.size(), f);
}

bool SavePng(const Image &image, const char *path)
{
    std::vector<unsigned char> raw;
    raw.reserve((size_t)image.height * (image.width * 3 + 1));
    for (int y = 0; y < image.height; y++) {
        raw.push_back(0); // no filter
        for (int x = 0; x < image.width; x++) {
            COLORREF c = image.At(x, y);
            raw.push_back(GetRValue(c));
            raw.push_back(GetGValue(c));
            raw.push_back(GetBValue(c));
        }
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    size_t pos = 0;
    do {
        size_t n = raw.size() - pos > 65535 ? 65535 : raw.size() - pos;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back(n & 0xFF);
        z.push_back(n >> 8);
        z.push_back(~n & 0xFF);
        z.push_back((~n >> 8) & 0xFF);
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    PutBig32(z, (b << 16) | a);

    std::vector<unsigned char> header;
    PutBig32(header, image.width);
    PutBig32(header, image.height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace

    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    fwrite(signature, 1, sizeof signature, f);
    PutChunk(f, "IHDR", header);
    PutChunk(f, "IDAT", z);
    PutChunk(f, "IEND", {});
    return fclose(f) == 0;
}

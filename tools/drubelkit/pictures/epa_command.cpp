#include "shared/cli.h"
#include "shared/png_io.h"

#include "image/epa.h"
#include "image/epa_encode.h"
#include "image/epa_format.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char EpaUsage[] =
    "usage: drubelkit epa encode IN.png OUT.epa [--type auto|8|24|32]\n"
    "       drubelkit epa decode IN.epa OUT.png\n"
    "       drubelkit epa info IN.epa\n"
    "\n"
    "encode  writes the PNG picture as an EPA file that decodes to exactly its\n"
    "        pixels. auto (the default) picks 8 bits (palette) for opaque\n"
    "        pictures of at most 256 colours, 24 bits for other opaque\n"
    "        pictures, 32 bits when any pixel is not fully opaque\n"
    "decode  writes as PNG what the launcher shows for the file, with its own\n"
    "        decoder: an EPA picture (a damaged one as far as it decodes, with a\n"
    "        warning), or a 32-bit bitmap, which the launcher takes as well\n"
    "info    prints the header fields and sizes of an EPA file\n";

namespace {

// The planes of a sound file must come out whole: the launcher would show
// a damaged file with its missing part transparent, the tool refuses it.
bool CheckStream(const std::vector<uint8_t>& file, const EpaInfo& info, size_t* streamBytes,
                 std::string* error)
{
    const size_t planeCount = info.BitsPerPixel / 8;
    const size_t offset = info.BitsPerPixel == 8 ? EpaPaletteStreamOffset : EpaHeaderSize;
    const uint64_t total = static_cast<uint64_t>(info.Width) * info.Height * planeCount;
    if (info.Width > INT32_MAX || info.Height > INT32_MAX || total > (uint64_t{1} << 31)) {
        *error = "the picture is too large";
        return false;
    }
    if (file.size() < offset) {
        *error = "the file ends inside its palette";
        return false;
    }
    *streamBytes = file.size() - offset;
    std::vector<uint8_t> planes(static_cast<size_t>(total));
    const size_t produced = EpaExpand(file.data() + offset, file.size() - offset, planes.data(),
                                      info.Width, static_cast<uint32_t>(info.Height * planeCount));
    if (produced < total) {
        char text[160];
        snprintf(text, sizeof text, "the picture data is truncated or damaged: %zu of %llu bytes decode",
                 produced, static_cast<unsigned long long>(total));
        *error = text;
        return false;
    }
    return true;
}

bool ReadEpa(const char* path, std::vector<uint8_t>* file, EpaInfo* info, size_t* streamBytes)
{
    if (!ReadWholeFile(path, file)) {
        fprintf(stderr, "drubelkit epa: cannot read '%s'\n", path);
        return false;
    }
    static const char* const Reasons[] = {"", "no EPA signature", "unsupported EPA version",
                                          "unsupported EPA image kind or colour type"};
    const int result = ParseEpaHeader(file->data(), file->size(), info);
    if (result != EpaOk) {
        const char* reason = file->size() < EpaHeaderSize ? "shorter than an EPA header"
                             : -result < 4                 ? Reasons[-result]
                                                           : "not an EPA picture";
        fprintf(stderr, "drubelkit epa: '%s' is not an EPA picture (%s)\n", path, reason);
        return false;
    }
    std::string error;
    if (!CheckStream(*file, *info, streamBytes, &error)) {
        fprintf(stderr, "drubelkit epa: '%s': %s\n", path, error.c_str());
        return false;
    }
    return true;
}

int Encode(int argc, char** argv)
{
    const char* in = nullptr;
    const char* out = nullptr;
    uint32_t bits = EpaBitsAuto;
    for (int i = 0; i < argc; ++i) {
        if (strcmp(argv[i], "--type") == 0 && i + 1 < argc) {
            const char* t = argv[++i];
            if (strcmp(t, "auto") == 0)
                bits = EpaBitsAuto;
            else if (strcmp(t, "8") == 0 || strcmp(t, "24") == 0 || strcmp(t, "32") == 0)
                bits = static_cast<uint32_t>(atoi(t));
            else {
                fprintf(stderr, "drubelkit epa: unknown type '%s' (auto, 8, 24 or 32)\n", t);
                return ExitUsage;
            }
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            fprintf(stderr, "drubelkit epa: unknown option '%s'\n\n%s", argv[i], EpaUsage);
            return ExitUsage;
        } else if (in == nullptr) {
            in = argv[i];
        } else if (out == nullptr) {
            out = argv[i];
        } else {
            fputs(EpaUsage, stderr);
            return ExitUsage;
        }
    }
    if (out == nullptr) {
        fputs(EpaUsage, stderr);
        return ExitUsage;
    }
    std::vector<uint8_t> png;
    if (!ReadWholeFile(in, &png)) {
        fprintf(stderr, "drubelkit epa: cannot read '%s'\n", in);
        return ExitBadInput;
    }
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> pixels;
    std::string error;
    if (!ReadPng(png, &width, &height, &pixels, &error)) {
        fprintf(stderr, "drubelkit epa: '%s': %s\n", in, error.c_str());
        return ExitBadInput;
    }
    std::vector<uint8_t> epa;
    if (!EncodeEpa(pixels.data(), width, height, bits, &epa, &error)) {
        fprintf(stderr, "drubelkit epa: '%s': %s\n", in, error.c_str());
        return ExitBadInput;
    }
    if (!WriteWholeFile(out, epa)) {
        fprintf(stderr, "drubelkit epa: cannot write '%s'\n", out);
        return ExitBadInput;
    }
    return ExitOk;
}

// What the launcher shows for the file: an EPA picture (a damaged stream
// shows as far as it decodes, the rest transparent) or, for any other file,
// a 32-bit bitmap.
int Decode(int argc, char** argv)
{
    if (argc != 2) {
        fputs(EpaUsage, stderr);
        return ExitUsage;
    }
    std::vector<uint8_t> file;
    if (!ReadWholeFile(argv[0], &file)) {
        fprintf(stderr, "drubelkit epa: cannot read '%s'\n", argv[0]);
        return ExitBadInput;
    }
    EpaInfo info;
    if (ParseEpaHeader(file.data(), file.size(), &info) == EpaOk) {
        if (info.Width == 0 || info.Height == 0) {
            fprintf(stderr, "drubelkit epa: '%s' has no pixels; PNG cannot hold it\n", argv[0]);
            return ExitBadInput;
        }
        if (static_cast<uint64_t>(info.Width) * info.Height > (uint64_t{1} << 29)) {
            fprintf(stderr, "drubelkit epa: '%s': the picture is too large\n", argv[0]);
            return ExitBadInput;
        }
        size_t streamBytes = 0;
        std::string damage;
        if (!CheckStream(file, info, &streamBytes, &damage))
            fprintf(stderr, "drubelkit epa: warning: '%s': %s; the launcher shows the rest transparent\n",
                    argv[0], damage.c_str());
    }
    int32_t width = 0, height = 0;
    uint8_t* pixels = DecodeImageFile(file.data(), file.size(), &width, &height);
    if (pixels == nullptr) {
        fprintf(stderr,
                "drubelkit epa: the launcher shows nothing for '%s': it is neither an EPA picture nor a "
                "32-bit bitmap\n",
                argv[0]);
        return ExitBadInput;
    }
    std::vector<uint8_t> png;
    std::string error;
    const bool encoded = WritePng(static_cast<uint32_t>(width), static_cast<uint32_t>(height), pixels, &png, &error);
    free(pixels);
    if (!encoded) {
        fprintf(stderr, "drubelkit epa: %s\n", error.c_str());
        return ExitBadInput;
    }
    if (!WriteWholeFile(argv[1], png)) {
        fprintf(stderr, "drubelkit epa: cannot write '%s'\n", argv[1]);
        return ExitBadInput;
    }
    return ExitOk;
}

int Info(int argc, char** argv)
{
    if (argc != 1) {
        fputs(EpaUsage, stderr);
        return ExitUsage;
    }
    std::vector<uint8_t> file;
    EpaInfo info;
    size_t streamBytes = 0;
    if (!ReadEpa(argv[0], &file, &info, &streamBytes))
        return ExitBadInput;
    const uint64_t pixels = static_cast<uint64_t>(info.Width) * info.Height;
    printf("file:             %s\n", argv[0]);
    printf("size:             %zu bytes\n", file.size());
    printf("width:            %u\n", info.Width);
    printf("height:           %u\n", info.Height);
    printf("bits per pixel:   %u (%s)\n", info.BitsPerPixel,
           info.BitsPerPixel == 8 ? "palette" : info.BitsPerPixel == 24 ? "colour" : "colour with alpha");
    if (info.BitsPerPixel == 8) {
        printf("colour count:     %u\n", info.ColourCount);
        printf("important colours: %u\n", info.ImportantColours);
    }
    printf("stream:           %zu bytes at offset %zu\n", streamBytes, file.size() - streamBytes);
    printf("planes:           %llu bytes\n",
           static_cast<unsigned long long>(pixels * (info.BitsPerPixel / 8)));
    printf("decoded picture:  %llu bytes\n", static_cast<unsigned long long>(pixels * 4));
    return ExitOk;
}

}  // namespace

int RunEpaCommand(int argc, char** argv)
{
    if (argc < 2 || IsHelpFlag(argv[1])) {
        fputs(EpaUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? ExitUsage : ExitOk;
    }
    for (int i = 2; i < argc; ++i) {
        if (IsHelpFlag(argv[i])) {
            fputs(EpaUsage, stdout);
            return ExitOk;
        }
    }
    if (strcmp(argv[1], "encode") == 0)
        return Encode(argc - 2, argv + 2);
    if (strcmp(argv[1], "decode") == 0)
        return Decode(argc - 2, argv + 2);
    if (strcmp(argv[1], "info") == 0)
        return Info(argc - 2, argv + 2);
    fprintf(stderr, "drubelkit epa: unknown subcommand '%s'\n\n%s", argv[1], EpaUsage);
    return ExitUsage;
}

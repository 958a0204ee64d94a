// PNG files through Windows' own imaging component (WIC).
#include "shared/png_io.h"

#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <cstring>

namespace {

template <typename T>
struct Com {
    T* P = nullptr;
    ~Com()
    {
        if (P != nullptr)
            P->Release();
    }
    T** operator&() { return &P; }
    T* operator->() const { return P; }
};

// COM for the calling thread, for as long as the call lasts.
struct ComScope {
    HRESULT Result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ~ComScope()
    {
        if (SUCCEEDED(Result))
            CoUninitialize();
    }
};

// The limit keeps a forged header from asking for gigabytes.
constexpr uint32_t MaxSide = 1u << 16;
constexpr uint64_t MaxPixels = uint64_t{1} << 28;

bool Fail(std::string* error, const char* what, HRESULT hr)
{
    char text[160];
    snprintf(text, sizeof text, "%s (WIC error 0x%08lX)", what, static_cast<unsigned long>(hr));
    *error = text;
    return false;
}

// 16 bits a channel keep their high byte, as the Linux build's libpng
// strips them; the converter would round instead.
bool ReadWide(IWICBitmapSource* frame, const WICPixelFormatGUID& format, uint32_t w, uint32_t h,
              std::vector<uint8_t>* pixels, std::string* error)
{
    const bool grey = IsEqualGUID(format, GUID_WICPixelFormat16bppGray);
    const int channels = grey ? 1 : IsEqualGUID(format, GUID_WICPixelFormat48bppRGB) ? 3 : 4;
    std::vector<uint8_t> row(static_cast<size_t>(w) * channels * 2);
    pixels->assign(static_cast<size_t>(w) * h * 4, 0xFF);
    for (uint32_t y = 0; y < h; ++y) {
        const WICRect line = {0, static_cast<INT>(y), static_cast<INT>(w), 1};
        const HRESULT hr = frame->CopyPixels(&line, static_cast<UINT>(row.size()), static_cast<UINT>(row.size()), row.data());
        if (FAILED(hr))
            return Fail(error, "damaged PNG file: the pixels cannot be read", hr);
        uint8_t* out = pixels->data() + static_cast<size_t>(h - 1 - y) * w * 4;  // bottom-up
        for (uint32_t x = 0; x < w; ++x) {
            // Little-endian 16-bit values: the high byte is the second.
            const uint8_t* in = row.data() + static_cast<size_t>(x) * channels * 2;
            const uint8_t r = in[1], g = grey ? in[1] : in[3], b = grey ? in[1] : in[5];
            out[x * 4 + 0] = b;
            out[x * 4 + 1] = g;
            out[x * 4 + 2] = r;
            out[x * 4 + 3] = channels == 4 ? in[7] : 0xFF;
        }
    }
    return true;
}

}  // namespace

bool ReadPng(const std::vector<uint8_t>& file, uint32_t* width, uint32_t* height,
             std::vector<uint8_t>* pixels, std::string* error)
{
    static const uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || memcmp(file.data(), Signature, 8) != 0) {
        *error = "not a PNG file";
        return false;
    }
    ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    if (FAILED(hr))
        return Fail(error, "Windows' imaging component is not available", hr);
    if (FAILED(hr = factory->CreateStream(&stream)) ||
        FAILED(hr = stream->InitializeFromMemory(const_cast<BYTE*>(file.data()), static_cast<DWORD>(file.size()))))
        return Fail(error, "out of memory", hr);
    if (FAILED(hr = factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, &decoder)) ||
        FAILED(hr = decoder->Initialize(stream.P, WICDecodeMetadataCacheOnDemand)) ||
        FAILED(hr = decoder->GetFrame(0, &frame)))
        return Fail(error, "damaged PNG file", hr);
    UINT w = 0, h = 0;
    WICPixelFormatGUID format;
    if (FAILED(hr = frame->GetSize(&w, &h)) || FAILED(hr = frame->GetPixelFormat(&format)))
        return Fail(error, "damaged PNG file", hr);
    if (w == 0 || h == 0 || w > MaxSide || h > MaxSide || static_cast<uint64_t>(w) * h > MaxPixels) {
        *error = "damaged PNG file: the picture is too large";
        return false;
    }
    if (IsEqualGUID(format, GUID_WICPixelFormat16bppGray) || IsEqualGUID(format, GUID_WICPixelFormat48bppRGB) ||
        IsEqualGUID(format, GUID_WICPixelFormat64bppRGBA)) {
        if (!ReadWide(frame.P, format, w, h, pixels, error))
            return false;
    } else {
        Com<IWICBitmapSource> bgra;
        if (FAILED(hr = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.P, &bgra)))
            return Fail(error, "damaged PNG file: its pixels do not convert", hr);
        std::vector<uint8_t> topDown(static_cast<size_t>(w) * h * 4);
        if (FAILED(hr = bgra->CopyPixels(nullptr, w * 4, static_cast<UINT>(topDown.size()), topDown.data())))
            return Fail(error, "damaged PNG file: the pixels cannot be read", hr);
        pixels->resize(topDown.size());
        for (UINT y = 0; y < h; ++y)
            memcpy(pixels->data() + static_cast<size_t>(h - 1 - y) * w * 4, topDown.data() + static_cast<size_t>(y) * w * 4,
                   static_cast<size_t>(w) * 4);
    }
    *width = w;
    *height = h;
    return true;
}

bool WritePng(uint32_t width, uint32_t height, const uint8_t* pixels, std::vector<uint8_t>* file,
              std::string* error)
{
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        *error = "a PNG picture must be between 1 and 2^31 - 1 pixels on each side";
        return false;
    }
    bool alpha = false;
    for (size_t i = 0; i < static_cast<size_t>(width) * height && !alpha; ++i)
        alpha = pixels[i * 4 + 3] != 255;
    // Top-down rows, three bytes a pixel when nothing is transparent.
    const size_t depth = alpha ? 4 : 3;
    std::vector<uint8_t> rows(static_cast<size_t>(width) * height * depth);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            memcpy(&rows[(static_cast<size_t>(y) * width + x) * depth],
                   pixels + (static_cast<size_t>(height - 1 - y) * width + x) * 4, depth);

    ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    Com<IPropertyBag2> options;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    if (FAILED(hr))
        return Fail(error, "Windows' imaging component is not available", hr);
    WICPixelFormatGUID format = alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
    if (FAILED(hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
        FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
        FAILED(hr = encoder->Initialize(stream.P, WICBitmapEncoderNoCache)) ||
        FAILED(hr = encoder->CreateNewFrame(&frame, &options)) || FAILED(hr = frame->Initialize(options.P)) ||
        FAILED(hr = frame->SetSize(width, height)) || FAILED(hr = frame->SetPixelFormat(&format)))
        return Fail(error, "cannot write the PNG", hr);
    if (!IsEqualGUID(format, alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR)) {
        *error = "cannot write the PNG: the encoder takes no such pixels";
        return false;
    }
    if (FAILED(hr = frame->WritePixels(height, static_cast<UINT>(width * depth), static_cast<UINT>(rows.size()),
                                       rows.data())) ||
        FAILED(hr = frame->Commit()) || FAILED(hr = encoder->Commit()))
        return Fail(error, "cannot write the PNG", hr);
    HGLOBAL memory = nullptr;
    STATSTG stat;
    if (FAILED(hr = GetHGlobalFromStream(stream.P, &memory)) || FAILED(hr = stream->Stat(&stat, STATFLAG_NONAME)))
        return Fail(error, "cannot write the PNG", hr);
    const uint8_t* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
    if (bytes == nullptr)
        return Fail(error, "cannot write the PNG", E_OUTOFMEMORY);
    file->assign(bytes, bytes + stat.cbSize.QuadPart);
    GlobalUnlock(memory);
    return true;
}

// The launcher's texts and its title picture, apart from the dialog glue.
#pragma once

#include "image/surface.h"

#include <cstddef>
#include <cstdint>

constexpr int32_t TitleSize = 320;

// "APPLITITLE SUBTITLE", or the title alone when there is no subtitle.
void FormatLauncherCaption(char* caption, size_t size, const char* title, const char* subtitle);

// The prompt shown while no drive holds a DirectX disc: DXMESSAGE, or the
// default text naming the product.
void FormatDirectXPrompt(char* prompt, size_t size, const char* message, const char* title);

// The DirectX setup's path on drive `drive` (1 = A:): "E:\" and DXPLACE.
// False when the drive number is out of range or the path does not fit.
bool FormatDirectXPath(char* path, size_t size, int drive, const char* place);
// The same below a disc's root folder ("E:\" or "D:\Games\DISC2\").
bool FormatDirectXPathAt(char* path, size_t size, const char* root, const char* place);

constexpr char TitlePictureName[] = "TITLE.EPA";

// Reads "TITLE.EPA" (loose in the source folder, else from its Instdata.pak)
// and decodes it, with its size. Null when there is no picture.
uint8_t* LoadTitlePicture(int32_t* width, int32_t* height);

// Draws the title picture at the surface's origin at its own size; the
// surface clips what does not fit.
void DrawTitlePicture(Surface* surface, const uint8_t* pixels, int32_t width, int32_t height);

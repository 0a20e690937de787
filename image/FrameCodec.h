// The run-length code of the frames of a palette image. A frame is a
// sequence of rows, top row first; each row is a sequence of runs ended by a
// control byte 0:
//
//   control byte c   meaning                                   bytes that follow
//   0x00             end of the row                            none
//   0x01 .. 0x7F     literal run of c pixel indices            c
//   0x80             zero run of length 0 (writes nothing)     none
//   0x81 .. 0xFF     zero run: c - 128 pixels of index 0       none
//
// Destinations of the decoders are row-widened: each row is width + pad
// pixels, and the decoders skip the pad pixels after each row end. The
// source of the encoder has rows of exactly width bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "MessageBoxHandler.h"

// The most pixels one byte of the code can stand for: a zero run of 127.
constexpr uint64_t kMaxPixelsPerCodeByte = 127;

// 0 when a run ending at byte offset runEnd of the destination stays within
// its size in bytes; otherwise tells onOverrun "Error!" ("Memory Overwrite !"),
// a message box without owner window, and returns 1. An empty handler tells
// nobody.
int CheckOverrun(size_t runEnd, size_t size, const MessageBoxHandler& onOverrun);

// Decodes into an 8-bit index buffer of (width + pad) x height bytes. Reads
// at most sourceSize bytes of source: running out of source ends the decode,
// and a literal run cut short by it copies the indices that are there. A run
// that would pass the end of the buffer tells onOverrun the overrun message
// (see CheckOverrun) and ends the decode; what was written stays, the rest
// keeps its zeros. The buffer must hold zeros where the decode has not
// written (its callers allocate it so): for speed the decoder may write
// zeros ahead of the run it decodes, never past the buffer. Nothing happens
// for height < 1.
void DecodeFrameIndices(uint8_t* dest, const uint8_t* source, size_t sourceSize, int32_t width,
                        int32_t height, int32_t pad, const MessageBoxHandler& onOverrun = {});

// Decodes into 32-bit pixels, (width + pad) x height of them, each the blue,
// green and red of its palette colour followed by 0; palette holds 256
// colours of blue, green, red, 0. Reads at most sourceSize bytes and never
// writes past the destination: it stops, without a message, where the index
// decoder stops, so both decodes of one frame agree pixel for pixel.
void DecodeFrameColours(uint8_t* dest, const uint8_t* source, size_t sourceSize, int32_t width,
                        int32_t height, int32_t pad, const uint8_t* palette);

// The most bytes EncodeFrame writes for a frame: height x floor(3(width + 1) / 2),
// a negative width counting as 0, and 0 for height < 1.
size_t MaxEncodedSize(int32_t width, int32_t height);

// Encodes height rows of width indices; a row of width <= 0 is the single
// byte 0, and height < 1 writes nothing. Returns the number of bytes written,
// or -1 when destSize is too small: nothing is written past destSize, but
// what lies before it is then undefined. A buffer of MaxEncodedSize bytes is
// always enough, up to the 2^31 - 1 bytes that the result can count.
int32_t EncodeFrame(const uint8_t* source, int32_t width, int32_t height, uint8_t* dest, size_t destSize);

// The program's icon as PNG bytes, drawn at build time by quodrix_icongen.
#pragma once

extern const unsigned char QuodrixIconPng[];
extern const unsigned long QuodrixIconPngSize;

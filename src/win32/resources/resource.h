#pragma once
// Resource identifiers shared by the .rc files and the code.
#define IDI_TOMARI 1
#define IDR_MANIFEST 1

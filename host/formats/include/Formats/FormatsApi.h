#pragma once

// Marks what leaves the clip file library; everything else in it, the libraries it is built
// on included, is hidden.
#define FORMATS_API __attribute__((visibility("default")))

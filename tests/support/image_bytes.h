#pragma once
// The image writers live with the skin generator's tools; fixtures use the same ones.
#include "../../tools/common/image_bytes.h"

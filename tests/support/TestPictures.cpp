#include "TestPictures.h"

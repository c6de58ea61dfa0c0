#include "dropwatch.h"
#include <gtest/gtest.h>
TEST(Dropwatch, Placeholder) {}

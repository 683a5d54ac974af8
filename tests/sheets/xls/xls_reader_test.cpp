#include <gtest/gtest.h>
#include "sheets/xls/xls_reader.h"
TEST(XlsReader, Placeholder) {}

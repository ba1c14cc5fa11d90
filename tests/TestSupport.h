// Shared assertions for the library's tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "COtxException.h"

// Asserts that statement throws COtxException with the given identifier and message.
#define EXPECT_OTX_THROW(statement, id, message)                                         \
  do {                                                                                   \
    bool kesmarThrew = false;                                                            \
    try {                                                                                \
      statement;                                                                         \
    } catch (const COtxException& kesmarCaught) {                                        \
      kesmarThrew = true;                                                                \
      EXPECT_EQ(kesmarCaught.Exception().GetId(), (id)) << kesmarCaught.what();          \
      EXPECT_EQ(kesmarCaught.Exception().GetText(), std::string(message));               \
    }                                                                                    \
    EXPECT_TRUE(kesmarThrew) << "expected a COtxException from: " #statement;            \
  } while (false)

// Asserts that statement throws the standard exception type with exactly this what() text.
#define EXPECT_STD_THROW(statement, type, message)                                       \
  do {                                                                                   \
    bool kesmarThrew = false;                                                            \
    try {                                                                                \
      statement;                                                                         \
    } catch (const type& kesmarCaught) {                                                 \
      kesmarThrew = true;                                                                \
      EXPECT_EQ(std::string(kesmarCaught.what()), std::string(message));                 \
    }                                                                                    \
    EXPECT_TRUE(kesmarThrew) << "expected " #type " from: " #statement;                  \
  } while (false)

#include "COtxException.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <typeinfo>
#include <vector>

#include "COtxBool.h"
#include "COtxInt.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "TestSupport.h"

// Allocation can be made to fail on the calling thread, to show what runs without memory.
namespace {
thread_local bool t_failAllocations = false;
}  // namespace

void* operator new(std::size_t size) {
  void* memory = t_failAllocations ? nullptr : std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

using Members = std::map<const std::string, CKesmar>;

CKesmar Text(const char* text) { return COtxString(std::string(text)); }

// Runs body(t) for t = 0 to 7, each on its own thread, and joins them.
template <typename Body>
void OnEightThreads(Body body) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) threads.emplace_back(body, t);
  for (auto& thread : threads) thread.join();
}

}  // namespace

TEST(ExceptionRegistry, NamesAndIdentifiersRoundTrip) {
  EXPECT_EQ(COtxExceptions::GetType(OTX::Exception), "Exception");
  EXPECT_EQ(COtxExceptions::GetType(OTX::MaxExceptionId), "MaxExceptionId");
  EXPECT_EQ(COtxExceptions::GetId("FileSaveException"), OTX::FileSaveException);
  for (int id = OTX::InvalidReferenceException; id < OTX::MaxExceptionId; ++id) {
    const auto identifier = static_cast<OTX::Exceptions_e>(id);
    EXPECT_EQ(COtxExceptions::GetId(COtxExceptions::GetType(identifier)), identifier);
  }
  for (const char* name : {"Exception", "MaxExceptionId", "typemismatchexception"}) {
    EXPECT_STD_THROW(COtxExceptions::GetId(name), std::runtime_error,
                     std::string("Unregistered exception: ") + name);
  }
  EXPECT_THROW(COtxExceptions::GetType(static_cast<OTX::Exceptions_e>(43)), std::out_of_range);
}

TEST(ExceptionRegistry, FirstRegistrationOfAnIdentifierStays) {
  const COtxException locked(OTX::FileLockException);
  EXPECT_STD_THROW(locked.Exception().GetTypeInfo(), std::runtime_error,
                   "Unregistered exception: FileLockException");
  COtxExceptions::Add(OTX::FileLockException, typeid(int));
  COtxExceptions::Add(OTX::FileLockException, typeid(double));
  EXPECT_EQ(locked.Exception().GetTypeInfo(), typeid(int));
}

TEST(ExceptionValue, ConstructorsFillIdentifierTypeTextAndMessage) {
  // The value, its identifier, its type text and its what() text.
  const std::tuple<COtxException, OTX::Exceptions_e, const char*, const char*> cases[] = {
      {COtxException(OTX::OutOfBoundsException), OTX::OutOfBoundsException, "",
       "OutOfBoundsException: "},
      {COtxException(OTX::UnknownUnitException, "Unit", "kg"), OTX::UnknownUnitException, "Unit",
       "UnknownUnitException: kg"},
      {COtxException("QuantityException", "\"s\""), OTX::QuantityException, "QuantityException",
       "QuantityException: \"s\""},
      {COtxException(
           COtxMap(Members{{"exceptionType", Text("UserException")}, {"value", Text("")}})),
       OTX::UserException, "UserException", "UserException: "}};
  for (const auto& [value, id, typeText, what] : cases) {
    EXPECT_EQ(value.Exception().GetId(), id) << what;
    EXPECT_EQ(value.Exception().GetTypeText(), typeText) << what;
    EXPECT_STREQ(value.what(), what);
    EXPECT_EQ(value.ToJSON().String(), COtxString(std::string(what)).ToJSON().String());
    EXPECT_TRUE(value == COtxException(id, "other") && value != COtxException(OTX::FileException));
  }
  EXPECT_FALSE(COtxException(OTX::UserException) == Text("UserException: "));
  EXPECT_STD_THROW(throw COtxException(OTX::UserException, "x"), std::exception,
                   "UserException: x");
  EXPECT_STREQ(COtxBool(true).what(), "BOOLEAN should not be used as an EXCEPTION");
  // The object form needs both members as strings, and a registered exception name.
  EXPECT_STD_THROW(COtxException{COtxMap(Members{{"exceptionType", Text("UserException")}})},
                   std::out_of_range, "invalid map<K, T> key");
  EXPECT_OTX_THROW(COtxException{COtxMap(Members{{"exceptionType", COtxInt(6)}})},
                   OTX::TypeMismatchException, "INTEGER is not a STRING");
  EXPECT_STD_THROW(
      COtxException{COtxMap(Members{{"exceptionType", Text("Exception")}, {"value", Text("")}})},
      std::runtime_error, "Unregistered exception: Exception");
}

// what() is noexcept: without memory for its text it still answers instead of terminating.
TEST(COtxException, WhatAnswersWithoutMemory) {
  const COtxException exception(OTX::UserException, std::string(100, 'x'));
  const CKesmar boolean = COtxBool(true);
  t_failAllocations = true;
  const char* first = exception.what();
  const char* second = boolean.what();
  t_failAllocations = false;
  EXPECT_STREQ(first, "UNKNOWN exception");
  EXPECT_STREQ(second, "UNKNOWN exception");
}

TEST(ThreadsWhat, ConcurrentCallsKeepTheirOwnText) {
  std::atomic<int> wrong{0};
  OnEightThreads([&wrong](int t) {
    const std::string message(static_cast<std::size_t>(t + 1) * 9, static_cast<char>('a' + t));
    const COtxException own(OTX::UserException, message);
    for (int i = 0; i < 2000; ++i) {
      const char* text = own.what();
      std::this_thread::yield();
      if ("UserException: " + message != text) ++wrong;
    }
  });
  EXPECT_EQ(wrong.load(), 0);
}

// Thread t registers identifier 20 + t alone, and all of them race to register 30.
TEST(ThreadsExceptionRegistry, ConcurrentAddAndGet) {
  std::atomic<int> wrong{0};
  OnEightThreads([&wrong](int t) {
    const auto own = static_cast<OTX::Exceptions_e>(OTX::UnsupportedEncodingException + t);
    const std::type_info& type = t % 2 == 0 ? typeid(int) : typeid(double);
    COtxExceptions::Add(own, type);
    COtxExceptions::Add(OTX::ActivateEthernetException, type);
    const std::type_info& shared = COtxExceptions::Get(OTX::ActivateEthernetException);
    for (int i = 0; i < 500; ++i) {
      if (COtxExceptions::Get(own) != type) ++wrong;
      if (COtxExceptions::Get(OTX::ActivateEthernetException) != shared) ++wrong;
    }
  });
  EXPECT_EQ(wrong.load(), 0);
}

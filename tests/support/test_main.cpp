// Entry point of every test program: sets the test environment (values given
// by the caller win) and runs GoogleTest.
#include <cstdlib>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_env.h"

int main(int argc, char **argv) {
  for (const TestEnvVar *v = kTestEnv; v->name; ++v) ::setenv(v->name, v->value, 0);
  if (const char *rt = std::getenv("XDG_RUNTIME_DIR")) {
    ::mkdir(rt, 0700);
    ::chmod(rt, 0700);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

# Writes build_commit.h with the source tree's commit ("unknown" outside git,
# "-dirty" when the tree has changes), rewriting it only when that changes so
# that a build without a new commit recompiles nothing.
#   cmake -DSOURCE=<source dir> -DOUT=<header> -P build_commit.cmake
execute_process(COMMAND git -C "${SOURCE}" rev-parse --short=12 HEAD
                OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR commit STREQUAL "")
  set(commit "unknown")
else()
  execute_process(COMMAND git -C "${SOURCE}" diff --quiet HEAD -- RESULT_VARIABLE dirty ERROR_QUIET)
  if(NOT dirty EQUAL 0)
    string(APPEND commit "-dirty")
  endif()
endif()
set(text "// Written by cmake/build_commit.cmake on every build.\n#pragma once\ninline constexpr const char* kBuildCommit = \"${commit}\";\n")
set(old "")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUT}" "${text}")
endif()

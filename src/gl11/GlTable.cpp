#include "gl11/GlTable.h"

#include <cstdio>
#include <cstdlib>

namespace {

enum GlCallIndex : int {
#define QUARN_GL_INDEX(Result, Name, Parameters, Arguments) GlCall##Name,
  QUARN_GL_CALLS(QUARN_GL_INDEX)
#undef QUARN_GL_INDEX
  GlCallCount
};

const char* const callNames[GlCallCount] = {
#define QUARN_GL_NAME(Result, Name, Parameters, Arguments) "gl" #Name,
    QUARN_GL_CALLS(QUARN_GL_NAME)
#undef QUARN_GL_NAME
};

[[noreturn]] void NoOpenGl(int call) {
  std::fprintf(stderr, "quarn: %s was called before anything served OpenGL\n", callNames[call]);
  std::abort();
}

template <int Call, typename Entry>
struct Unfilled;

template <int Call, typename Result, typename... Arguments>
struct Unfilled<Call, Result(QUARN_GLAPI*)(Arguments...)> {
  static Result QUARN_GLAPI Entry(Arguments...) { NoOpenGl(Call); }
};

constexpr GlTable unfilledTable = {
#define QUARN_GL_UNFILLED(Result, Name, Parameters, Arguments) \
  &Unfilled<GlCall##Name, decltype(GlTable::Name)>::Entry,
    QUARN_GL_CALLS(QUARN_GL_UNFILLED)
#undef QUARN_GL_UNFILLED
};

GlTable installed = unfilledTable;

}  // namespace

const GlTable& glTable = installed;

GlTable InstallGlTable(const GlTable& table) {
  const GlTable previous = installed;
  installed = table;
  return previous;
}

bool FillGlTableFrom(GlTable& table, GlLookup lookup, const char** missing) {
  GlTable filled;
#define QUARN_GL_LOOK_UP(Result, Name, Parameters, Arguments)                        \
  filled.Name = reinterpret_cast<decltype(filled.Name)>(lookup(callNames[GlCall##Name])); \
  if (!filled.Name) {                                                                 \
    if (missing) *missing = callNames[GlCall##Name];                                  \
    return false;                                                                     \
  }
  QUARN_GL_CALLS(QUARN_GL_LOOK_UP)
#undef QUARN_GL_LOOK_UP
  table = filled;
  return true;
}

#include "gl11/Gl11Table.h"

#include "gl11/GL11.h"

GlTable Gl11Table() {
  GlTable table;
#define QUARN_GL11_ENTRY(Result, Name, Parameters, Arguments) table.Name = Gl11##Name;
  QUARN_GL_CALLS(QUARN_GL11_ENTRY)
#undef QUARN_GL11_ENTRY
  return table;
}

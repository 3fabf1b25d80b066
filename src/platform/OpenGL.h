// What the drawing code includes to draw: OpenGL 1.1's types and constants and
// its gl* names, each mapped onto the entry of the one OpenGL table
// (gl11/GlTable.h), so the drawing code reads as plain OpenGL while every call
// goes through whichever OpenGL filled the table. No system OpenGL header is
// included: a call that is not in the table does not compile.
#pragma once

#include "gl11/GlTable.h"

#define glName glTable.Name
#define glBegin glTable.Begin
#define glEnd glTable.End
#define glVertex2i glTable.Vertex2i
#define glVertex2f glTable.Vertex2f
#define glTexCoord2f glTable.TexCoord2f
#define glColor3f glTable.Color3f
#define glColor3fv glTable.Color3fv
#define glEnable glTable.Enable
#define glDisable glTable.Disable
#define glIsEnabled glTable.IsEnabled
#define glBlendFunc glTable.BlendFunc
#define glClearColor glTable.ClearColor
#define glClear glTable.Clear
#define glViewport glTable.Viewport
#define glPushAttrib glTable.PushAttrib
#define glPopAttrib glTable.PopAttrib
#define glMatrixMode glTable.MatrixMode
#define glLoadIdentity glTable.LoadIdentity
#define glPushMatrix glTable.PushMatrix
#define glPopMatrix glTable.PopMatrix
#define glOrtho glTable.Ortho
#define glTranslatef glTable.Translatef
#define glTranslated glTable.Translated
#define glScalef glTable.Scalef
#define glGenLists glTable.GenLists
#define glNewList glTable.NewList
#define glEndList glTable.EndList
#define glCallList glTable.CallList
#define glCallLists glTable.CallLists
#define glListBase glTable.ListBase
#define glDeleteLists glTable.DeleteLists
#define glIsList glTable.IsList
#define glTexImage2D glTable.TexImage2D
#define glTexParameteri glTable.TexParameteri
#define glGetTexParameteriv glTable.GetTexParameteriv
#define glGetTexLevelParameteriv glTable.GetTexLevelParameteriv
#define glGetTexImage glTable.GetTexImage
#define glPixelStorei glTable.PixelStorei
#define glReadPixels glTable.ReadPixels
#define glGetIntegerv glTable.GetIntegerv
#define glGetFloatv glTable.GetFloatv
#define glGetError glTable.GetError
#define glFlush glTable.Flush
#define glFinish glTable.Finish

// Every call of the table has its name above.
#define QUARN_GL_NAME_MAPPED(Result, Name, Parameters, Arguments) \
  static_assert(sizeof(&gl##Name) != 0, "gl" #Name " is not mapped onto the table");
QUARN_GL_CALLS(QUARN_GL_NAME_MAPPED)
#undef QUARN_GL_NAME_MAPPED

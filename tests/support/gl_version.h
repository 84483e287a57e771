// Mesa reads MESA_GL_VERSION_OVERRIDE once a process, as the first GL
// context is made: every later context offers that version, whatever the
// variable says then. A window test that asks for a version other than the
// one its process already has runs again in a process of its own.
#pragma once

// Notes the version (null: all that Mesa has) of the context just made;
// only the first one counts.
void note_gl_version(const char* gl_version);

// When this process cannot make a context of gl_version, runs the current
// test again alone in a new process that can, expects it to pass, and
// answers true: the caller then skips the test here.
bool ran_alone_for_gl_version(const char* gl_version);

// A loaded dynamic library. Part of the program's exported interface: the
// executable exports this class so that plug-ins may use it too.
#pragma once

#include <cstddef>

constexpr size_t CDLL_NAME_SIZE = 256;

class __attribute__((visibility("default"))) CDLL {
  public:
    CDLL();
    // Does nothing: a library stays loaded until close() (a controller slot's
    // destructor closes its own).
    ~CDLL();
    // The copy holds its own reference to the same library, so that each of
    // the two may close it.
    CDLL(const CDLL& other);
    CDLL& operator=(const CDLL& other);

    // Closes the library held, then loads `name`. A bare file name (without
    // '/') is looked up in the working directory. Returns whether a library
    // was loaded; the name is kept either way.
    bool open(const char* name);
    // Frees the library held. Returns true only when one was held and freeing
    // it failed.
    bool close();
    // Address of the exported symbol `name`; null when missing or when no
    // library is loaded.
    void* getFunction(const char* name) const;

    const char* getName() const { return name; }
    bool isLoaded() const { return module != nullptr; }

  protected:
    char name[CDLL_NAME_SIZE];
    void* module;

  private:
    void takeReferenceOf(const CDLL& other);
};

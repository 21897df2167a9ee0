// The glass catalog: every glass of every catalog file loaded with set/matcatalog, by name. The
// first glass of a name wins, within a file and across files. Glasses stay loaded until the
// program ends (a new model keeps them); parts point into the catalog without owning.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "parts/glass/glass.h"

class CGlassCatalog {
  public:
    // Results of Load.
    static constexpr int kUnreadable = 0;
    static constexpr int kLoaded = 1;
    static constexpr int kAlreadyLoaded = 2;
    static constexpr int kTooLarge = 3;
    // Catalogs are kilobytes; a file beyond this is no catalog.
    static constexpr std::size_t kMaxCatalogBytes = 64u << 20;

    // Reads the catalog file `fileName`. kAlreadyLoaded when that exact name was loaded before
    // (nothing is read); kUnreadable when it cannot be opened as a regular file or a read fails
    // part-way, kTooLarge for one above kMaxCatalogBytes (in both cases nothing changes, and
    // the name is not remembered); kLoaded after reading it. Lines are read whole, however
    // long, without a trailing carriage return; lines before the first NM line are ignored.
    int Load(const std::string& fileName);

    // Loads catalog text that is already in memory, as Load does with a file's contents; the
    // name is not checked or remembered. Returns the number of NM records read.
    int LoadText(const std::string& text);

    // The glass of that name (names compare exactly), or null.
    CGlass* FindGlass(const std::string& name) const;

    int GlassCount() const { return static_cast<int>(glasses_.size()); }
    // Every glass by name, in name order.
    const std::map<std::string, std::unique_ptr<CGlass>>& Glasses() const { return glasses_; }
    const std::vector<std::string>& LoadedFiles() const { return loadedFiles_; }

    // Forgets every glass and file (tests; the program never unloads a catalog).
    void Reset();

  private:
    // Puts a finished glass into the map unless its name is there already (then it is freed).
    void Keep(std::unique_ptr<CGlass> glass);
    // One line of catalog text; `building` is the glass being read.
    void ReadLine(const std::string& line, std::unique_ptr<CGlass>& building, int& records);

    std::map<std::string, std::unique_ptr<CGlass>> glasses_;
    std::vector<std::string> loadedFiles_;
};

// The program's catalog.
CGlassCatalog& glassCatalogInstance();
inline CGlassCatalog& glassCatalog = glassCatalogInstance();

// Empties the program's catalog (tests).
void resetGlassCatalogState();

// Lets set/matcatalog load into the program's catalog (the dispatcher's catalog step).
void registerGlassCatalog();

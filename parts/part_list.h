// The part list: every part of the model in the order of creation, and the define and delete
// commands that make and remove parts with their objects.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "parts/part.h"

class CPartList {
  public:
    // The list becomes thePartList.
    CPartList();
    virtual ~CPartList();
    CPartList(const CPartList&) = delete;
    CPartList& operator=(const CPartList&) = delete;

    // The first part whose name is exactly `name`; nullptr for an empty name or none.
    CPart* FindPart(const std::string& name) const;
    // Its zero-based position, -1 when absent or the name is empty.
    int FindPartIndex(const std::string& name) const;

    // The define command: makes the object of the kind the command names and its part, named by
    // the object's alias, or by MakePartName (which then becomes the alias). 1 made, 0 not.
    int DefinePart();
    // The polynet command's part step, run after the command itself: a part for the net that
    // command created by start or belt (none for any other operation), named as DefinePart names
    // parts, with the polar plane of the command. 1 made, 0 not.
    int DefinePolynet();
    // The delete command: the part of the object given as value 0 and the object itself.
    // 0 without an object number; 1 otherwise, also when no such part exists (after its error).
    int DeleteCommand();
    // Deletes the part of that name and its object; false when no part has the name.
    virtual bool DeletePart(const std::string& name);
    // Empties the list (a new model starts); the objects are not touched.
    void RemoveAll();

    int partCount() const { return static_cast<int>(parts_.size()); }
    CPart* part(int index) const;

  private:
    // The material modifier's checks; false after its error.
    static bool materialFound();
    // Appends the part of the object just made, named by its alias or by MakePartName (which then
    // becomes its alias).
    CPart& appendPart(ObjectRecord* object);
    // Removes the part at `index` and deletes its object (number `objectNumber`).
    void deletePartAt(int index, int objectNumber);

    std::vector<std::unique_ptr<CPart>> parts_;
};

// The document's part list (null before it is made).
inline CPartList* thePartList = nullptr;

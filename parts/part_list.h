// The part list: every part of the model in the order of creation, and the commands that make,
// redefine, rename, delete, activate, deactivate and replicate parts.
#pragma once

#include <cstdio>
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
    // the object's alias, or by MakePartName (which then becomes the alias). While a part is
    // marked for redefinition, the mark is cleared and the command redefines that part instead.
    // 1 made, 0 not.
    int DefinePart();
    // The redefine command's checks on the object given as value 0 (it changes nothing itself;
    // a part is redefined through the document's Metamorph). 1 when it can be redefined.
    int Redefine();
    // Marks `part` for redefinition by the next define command.
    void MarkForRedefinition(CPart* part);
    CPart* MarkedPart() const { return redefining_ ? marked_ : nullptr; }
    // The polynet command's part step, run after the command itself: a part for the net that
    // command created by start or belt (none for any other operation), named as DefinePart names
    // parts, with the polar plane of the command. 1 made, 0 not.
    int DefinePolynet();
    // The delete command: the part of the object given as value 0 and the object itself.
    // 0 without an object number; 1 otherwise, also when no such part exists (after its error).
    int DeleteCommand();
    // Deletes the part of that name and its object; false when no part has the name.
    virtual bool DeletePart(const std::string& name);
    // Gives the part `name` the new name of the modifier newname, and its alias too, reporting
    // "Object <old> renamed <new>". False, silently, when the part or its alias does not exist,
    // newname has no value or several, or the new name is already a part's or an alias's.
    virtual bool RenamePart(const std::string& name, const std::string& newName);
    // Activate and deactivate commands on the current part; 0 with "Part not found." without one.
    int ActivateCommand();
    int DeactivateCommand();
    // The rename command on the current part; 0 with "Object not found" without one.
    int RenameCommand();
    // Writes the definitions of copies of the current part, named by the modifier newname (with
    // ncopies above 1: newname000, newname001, ...), into the open file. False when newname or
    // the current part is missing.
    bool Replicate(std::FILE* file);
    // Empties the list (a new model starts); the objects are not touched.
    void RemoveAll();

    // After a change of the wavelengths: every part's UpdateIndices, once. 1 when it ran.
    int UpdateIndices();
    // Resets every part's radiometer (ray files opened fresh).
    void ResetRadiometers();
    // Keeps the parameters of a trace from the object's part; 0 when it has no part.
    int StoreTraceParameters(int objectNumber, int nx, int ny, double horizontal, double vertical,
                             int bundleShape, const char* kindWord, int spacingKind);
    // Writes every part's definition: nets first (the net lines rebuild every net before any
    // define), then the others, each in list order. A part's placement that refers to a part
    // written after it follows the last part, with its deactivate line. A part with a line the
    // reader would cut (a long module path, say) stops the writing: false after the message
    // that names it.
    bool WriteAllParts(OutputChannel stream);

    int partCount() const { return static_cast<int>(parts_.size()); }
    CPart* part(int index) const;

    // The glass of the define command's material modifier. True when there is none (`glass`
    // null) or it was found; false after the error.
    static bool materialGlass(const CGlass*& glass);

    // What the commands attach to the current part (parts/attach/). Each acts only on its own
    // modifiers and returns 1 done, 0 not its form or refused, or kRefusedWithMessage.
    // modify/sources: binds a ray-source plug-in (or removes the source without a name).
    int ModifySource();
    // modify/scatterer: a surface's scatter law (lambertian, gaussian, powerlaw,
    // xy_exponential), none, or show.
    int ModifyScatterer();
    // The part side of modify/center, modify/extent and the surface coatings (fresnel, metal,
    // lwirmetal, off). `geometryAccepted` is the geometry step's result for the same command:
    // the centre and extent bookkeeping follows only a change the geometry made, and a coating
    // needs the designator the geometry step accepted.
    virtual int ModifySurfaceFresnel(int geometryAccepted);
    // radiometer/{textout|attach|reset|remove|fileout}.
    int RadiometerCommand();
    // material/{textout|attach|grin|glasschange|remove}.
    int MaterialCommand();

  private:
    // Appends the part of the object just made, named by its alias or by MakePartName (which then
    // becomes its alias).
    CPart& appendPart(ObjectRecord* object, std::unique_ptr<CPart> made);
    // Removes the part at `index` and deletes its object (number `objectNumber`).
    void deletePartAt(int index, int objectNumber);

    std::vector<std::unique_ptr<CPart>> parts_;
    int redefining_ = 0;
    CPart* marked_ = nullptr;
};

// The document's part list (null before it is made).
inline CPartList* thePartList = nullptr;

// The part of the object given as numeric value 0 of the command; null without it.
CPart* GetCurrentPart(CPartList& list);

// The result of a part command that was refused after its own message: the dispatcher adds no
// "not found" line after it (it reports only a result of 0).
inline constexpr int kRefusedWithMessage = -1;

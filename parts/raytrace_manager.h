// The raytrace manager: the raytrace command, which turns its modifiers and values into a trace
// of rays from a source object. The document owns one manager.
#pragma once

class CRaytraceManager {
  public:
    // The manager becomes theRaytraceManager.
    CRaytraceManager();
    ~CRaytraceManager();
    CRaytraceManager(const CRaytraceManager&) = delete;
    CRaytraceManager& operator=(const CRaytraceManager&) = delete;

    // The raytrace command on the parsed command. Only the single ray is traced so far; the
    // bundle kinds and "last" are recognised and do nothing yet. 1 only for "last".
    int Raytrace();

  private:
    // raytrace/single: one ray from an object's origin along (u, v, w) of its frame.
    int traceSingle();
};

// The document's manager (null before it is made).
inline CRaytraceManager* theRaytraceManager = nullptr;

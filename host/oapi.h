// Free functions of the host interface ("oapi" services).
#pragma once

#include "host/types.h"

#define OAPIFUNC __attribute__((visibility("default")))

class VESSEL;

// Objects: vessels and celestial bodies by name; surface bases of a body by name.
OAPIFUNC OBJHANDLE oapiGetObjectByName(const char* name);
OAPIFUNC OBJHANDLE oapiGetBaseByName(OBJHANDLE planet, const char* name);
OAPIFUNC VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel);
OAPIFUNC OBJHANDLE oapiGetFocusObject();
OAPIFUNC DWORD oapiGetVesselCount();
OAPIFUNC OBJHANDLE oapiGetVesselByIndex(int index);
OAPIFUNC void oapiGetGlobalPos(OBJHANDLE hObj, VECTOR3* pos);
OAPIFUNC void oapiGetGlobalVel(OBJHANDLE hObj, VECTOR3* vel);
OAPIFUNC double oapiGetSize(OBJHANDLE hObj);
OAPIFUNC double oapiGetMass(OBJHANDLE hObj);
OAPIFUNC const char* oapiGetObjectName(OBJHANDLE hObj);
// Equatorial position of an object relative to its reference body: longitude and latitude (rad),
// distance from the body centre (m). For a surface base: its position on its body.
OAPIFUNC bool oapiGetEquPos(OBJHANDLE hObj, double* lng, double* lat, double* rad);

// Atmosphere and aerodynamics.
// Wind at a point above a body, in the local horizon frame (x east, y 0, z north).
OAPIFUNC VECTOR3 oapiGetWindVector(OBJHANDLE hPlanet, double lng, double lat, double alt, int frame,
                                   double* windspeed);
// Induced-drag coefficient cl^2 / (pi A e).
OAPIFUNC double oapiGetInducedDrag(double cl, double A, double e);

// Time.
OAPIFUNC double oapiGetSimTime();
OAPIFUNC double oapiGetSimMJD();
OAPIFUNC double oapiGetSimStep();
OAPIFUNC double oapiGetTimeAcceleration();

// Uniform random number in [0, 1) from the host's seeded generator.
OAPIFUNC double oapiRand();

// Textures for exhaust flames and particle streams.
OAPIFUNC SURFHANDLE oapiRegisterExhaustTexture(const char* name);
OAPIFUNC SURFHANDLE oapiRegisterParticleTexture(const char* name);

// Crew.
OAPIFUNC bool oapiOpenInputBox(const char* title, KeyFunc Clbk, const char* buf = nullptr, int vislen = 20,
                               void* usrdata = nullptr);
OAPIFUNC bool oapiCameraAttach(OBJHANDLE hObj, int mode);

// Host log.
OAPIFUNC void oapiWriteLog(const char* line);

// Scenario files: the next line of the current vessel block (false at its end), and one line written
// as "item string".
OAPIFUNC bool oapiReadScenario_nextline(FILEHANDLE scn, char*& line);
OAPIFUNC void oapiWriteScenario_string(FILEHANDLE scn, const char* item, const char* string);
OAPIFUNC void oapiWriteScenario_int(FILEHANDLE scn, const char* item, int value);
OAPIFUNC void oapiWriteScenario_float(FILEHANDLE scn, const char* item, double value);
OAPIFUNC void oapiWriteScenario_vec(FILEHANDLE scn, const char* item, const VECTOR3& vec);

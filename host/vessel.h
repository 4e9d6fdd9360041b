// The vessel interface: the host's view of one vessel (VESSEL), and the callback classes a
// module derives its vessel class from (VESSEL2, VESSEL3).
//
// Every VESSEL operation is carried out by the host on the vessel behind the handle given to the
// constructor. A non-finite number handed to any operation is refused by the host (the call
// changes nothing) and reported in the host's log.
#pragma once

#include "host/keys.h"
#include "host/lights.h"
#include "host/module.h"
#include "host/oapi.h"
#include "host/sketchpad.h"
#include "host/types.h"

#define VESSELAPI __attribute__((visibility("default")))

class VESSELAPI VESSEL {
 public:
  VESSEL(OBJHANDLE hVessel, int fmodel = 1);
  VESSEL(const VESSEL&) = delete;
  VESSEL& operator=(const VESSEL&) = delete;

  OBJHANDLE GetHandle() const { return hObj_; }
  const char* GetName() const;
  const char* GetClassName() const;
  int GetFlightModel() const { return fmodel_; }

  // --- Configuration ---
  void SetSize(double size);
  double GetSize() const;
  void SetEmptyMass(double emass);
  double GetEmptyMass() const;
  void SetPMI(const VECTOR3& pmi);
  void GetPMI(VECTOR3& pmi) const;
  void SetCrossSections(const VECTOR3& cs);
  void GetCrossSections(VECTOR3& cs) const;
  void SetCW(double cw_z_pos, double cw_z_neg, double cw_x, double cw_y);
  void SetRotDrag(const VECTOR3& rd);
  void SetTouchdownPoints(const TOUCHDOWNVTX* tdvtx, DWORD ntdvtx);
  DWORD GetTouchdownPointCount() const;
  bool GetTouchdownPoint(TOUCHDOWNVTX& tdvtx, DWORD idx) const;
  UINT AddMesh(const char* meshname, const VECTOR3* ofs = nullptr);
  bool SetMeshVisibilityMode(UINT idx, WORD mode);
  void SetCameraOffset(const VECTOR3& co);
  void GetCameraOffset(VECTOR3& co) const;
  void SetCameraDefaultDirection(const VECTOR3& cd, double tilt = 0.0);
  void SetDockParams(const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot);

  // --- Propellant resources ---
  PROPELLANT_HANDLE CreatePropellantResource(double maxmass, double mass = -1.0, double efficiency = 1.0);
  DWORD GetPropellantCount() const;
  PROPELLANT_HANDLE GetPropellantHandleByIndex(DWORD idx) const;
  double GetPropellantMass(PROPELLANT_HANDLE ph) const;
  double GetPropellantMaxMass(PROPELLANT_HANDLE ph) const;
  void SetPropellantMass(PROPELLANT_HANDLE ph, double mass);
  double GetTotalPropellantMass() const;
  void SetDefaultPropellantResource(PROPELLANT_HANDLE ph);
  PROPELLANT_HANDLE GetDefaultPropellantResource() const;

  // --- Thrusters ---
  THRUSTER_HANDLE CreateThruster(const VECTOR3& pos, const VECTOR3& dir, double maxth0,
                                 PROPELLANT_HANDLE hp = nullptr, double isp0 = 0.0, double isp_ref = 0.0,
                                 double p_ref = 101400.0);
  DWORD GetThrusterCount() const;
  THRUSTER_HANDLE GetThrusterHandleByIndex(DWORD idx) const;
  void SetThrusterLevel(THRUSTER_HANDLE th, double level);
  double GetThrusterLevel(THRUSTER_HANDLE th) const;
  void SetThrusterDir(THRUSTER_HANDLE th, const VECTOR3& dir);
  void GetThrusterDir(THRUSTER_HANDLE th, VECTOR3& dir) const;
  void SetThrusterRef(THRUSTER_HANDLE th, const VECTOR3& pos);
  void GetThrusterRef(THRUSTER_HANDLE th, VECTOR3& pos) const;
  void SetThrusterMax0(THRUSTER_HANDLE th, double maxth0);
  double GetThrusterMax0(THRUSTER_HANDLE th) const;
  double GetThrusterMax(THRUSTER_HANDLE th) const;  // rating at the present ambient pressure
  double GetThrusterIsp(THRUSTER_HANDLE th) const;  // specific impulse at the present pressure
  double GetThrusterIsp0(THRUSTER_HANDLE th) const;
  void SetThrusterResource(THRUSTER_HANDLE th, PROPELLANT_HANDLE ph);
  PROPELLANT_HANDLE GetThrusterResource(THRUSTER_HANDLE th) const;

  // --- Thruster groups ---
  THGROUP_HANDLE CreateThrusterGroup(THRUSTER_HANDLE* th, int nth, THGROUP_TYPE thgt);
  bool DelThrusterGroup(THGROUP_HANDLE thg, THGROUP_TYPE thgt, bool delth = false);
  THGROUP_HANDLE GetThrusterGroupHandle(THGROUP_TYPE thgt) const;
  void SetThrusterGroupLevel(THGROUP_HANDLE thg, double level);
  void SetThrusterGroupLevel(THGROUP_TYPE thgt, double level);
  double GetThrusterGroupLevel(THGROUP_HANDLE thg) const;
  double GetThrusterGroupLevel(THGROUP_TYPE thgt) const;
  DWORD GetGroupThrusterCount(THGROUP_HANDLE thg) const;
  DWORD GetGroupThrusterCount(THGROUP_TYPE thgt) const;
  THRUSTER_HANDLE GetGroupThruster(THGROUP_HANDLE thg, DWORD idx) const;
  THRUSTER_HANDLE GetGroupThruster(THGROUP_TYPE thgt, DWORD idx) const;

  // --- Exhaust flames and particle streams ---
  UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, SURFHANDLE tex = nullptr);
  UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, double lofs, SURFHANDLE tex = nullptr);
  bool DelExhaust(UINT idx);
  PSTREAM_HANDLE AddExhaustStream(THRUSTER_HANDLE th, const PARTICLESTREAMSPEC* pss = nullptr);
  PSTREAM_HANDLE AddExhaustStream(THRUSTER_HANDLE th, const VECTOR3& pos,
                                  const PARTICLESTREAMSPEC* pss = nullptr);
  // lvl: the host reads the stream's level through this pointer every frame.
  PSTREAM_HANDLE AddParticleStream(const PARTICLESTREAMSPEC* pss, const VECTOR3& pos, const VECTOR3& dir,
                                   double* lvl);

  // --- Aerodynamics ---
  AIRFOILHANDLE CreateAirfoil3(AIRFOIL_ORIENTATION align, const VECTOR3& ref, AirfoilCoeffFuncEx cf,
                               void* context, double c, double S, double A);
  // flag: AIRFOIL_EDIT_* bits saying which of ref, cf, c, S, A take effect.
  bool EditAirfoil(AIRFOILHANDLE hAirfoil, DWORD flag, const VECTOR3& ref, AirfoilCoeffFuncEx cf, double c,
                   double S, double A);
  void AddForce(const VECTOR3& F, const VECTOR3& r);
  double GetDrag() const;
  double GetLift() const;
  DWORD GetADCtrlMode() const;
  void SetADCtrlMode(DWORD mode);
  double GetAtmDensity() const;
  double GetAtmPressure() const;
  double GetAtmTemperature() const;
  double GetDynPressure() const;
  double GetMachNumber() const;

  // --- Animations ---
  UINT CreateAnimation(double initial_state);
  ANIMATIONCOMPONENT_HANDLE AddAnimationComponent(UINT anim, double state0, double state1,
                                                  MGROUP_TRANSFORM* trans,
                                                  ANIMATIONCOMPONENT_HANDLE parent = nullptr);
  bool SetAnimation(UINT anim, double state);
  double GetAnimation(UINT anim) const;

  // --- State and frames ---
  double GetMass() const;
  OBJHANDLE GetGravityRef() const;
  double GetAltitude() const;  // above mean radius
  double GetAltitude(AltitudeMode mode, int* reslt = nullptr) const;
  double GetPitch() const;                  // rad, pitch of +z above the local horizon
  double GetBank() const;                   // rad
  double GetYaw() const;                    // rad, heading of +z
  void GetAngularVel(VECTOR3& avel) const;  // vessel frame, rad/s
  void SetAngularVel(const VECTOR3& avel);
  bool GetGroundspeedVector(REFFRAME frame, VECTOR3& v) const;
  bool GetAirspeedVector(REFFRAME frame, VECTOR3& v) const;
  double GetGroundspeed() const;
  double GetAirspeed() const;
  bool GroundContact() const;
  void GetGlobalPos(VECTOR3& pos) const;
  void GetGlobalVel(VECTOR3& vel) const;
  void GetRelativePos(OBJHANDLE hRef, VECTOR3& pos) const;
  void GetRelativeVel(OBJHANDLE hRef, VECTOR3& vel) const;
  OBJHANDLE GetEquPos(double& longitude, double& latitude, double& radius) const;
  bool GetWeightVector(VECTOR3& G) const;    // vessel frame, N
  bool GetThrustVector(VECTOR3& T) const;    // vessel frame, N
  void GetRotationMatrix(MATRIX3& R) const;  // vessel frame to global frame
  void Global2Local(const VECTOR3& glob, VECTOR3& loc) const;
  void Local2Global(const VECTOR3& loc, VECTOR3& glob) const;
  void GlobalRot(const VECTOR3& rloc, VECTOR3& rglob) const;
  void HorizonRot(const VECTOR3& loc, VECTOR3& hor) const;
  void HorizonInvRot(const VECTOR3& hor, VECTOR3& loc) const;

  // --- Navigation modes, manual control ---
  bool ActivateNavmode(int mode);
  bool DeactivateNavmode(int mode);
  bool ToggleNavmode(int mode);
  bool GetNavmodeState(int mode) const;
  double GetManualControlLevel(THGROUP_TYPE thgt, DWORD mode = MANCTRL_ATTMODE,
                               DWORD device = MANCTRL_ANYDEVICE) const;
  int GetAttitudeMode() const;
  bool SetAttitudeMode(int mode);

  // --- Attachments ---
  ATTACHMENTHANDLE CreateAttachment(bool toparent, const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot,
                                    const char* id, bool loose = false);
  DWORD AttachmentCount(bool toparent) const;
  ATTACHMENTHANDLE GetAttachmentHandle(bool toparent, DWORD i) const;
  OBJHANDLE GetAttachmentStatus(ATTACHMENTHANDLE attachment) const;
  const char* GetAttachmentId(ATTACHMENTHANDLE attachment) const;
  bool AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment, ATTACHMENTHANDLE child_attachment);
  bool DetachChild(ATTACHMENTHANDLE attachment, double vel = 0.0);

  // --- Lights ---
  LightEmitter* AddSpotLight(const VECTOR3& pos, const VECTOR3& dir, double range, double att0, double att1,
                             double att2, double umbra, double penumbra, const COLOUR4& diffuse,
                             const COLOUR4& specular, const COLOUR4& ambient);
  // The host keeps the pointer: the structure must outlive the vessel's use of it.
  void AddBeacon(BEACONLIGHTSPEC* bs);
  DWORD LightEmitterCount() const;

  // --- Scenario and keys ---
  // Hands a scenario line the vessel does not read itself to the host's default parser.
  bool ParseScenarioLineEx(char* line, void* status) const;
  // Delivers a key event to this vessel's buffered-key callback; returns the callback's result.
  int SendBufferedKey(DWORD key, bool down = true, char* kstate = nullptr);

 protected:
  ~VESSEL() = default;

 private:
  OBJHANDLE hObj_;
  int fmodel_;
};

class VESSELAPI VESSEL2 : public VESSEL {
 public:
  VESSEL2(OBJHANDLE hVessel, int fmodel = 1) : VESSEL(hVessel, fmodel) {}

  virtual void clbkSetClassCaps(FILEHANDLE cfg);
  // Writes the host's standard vessel lines.
  virtual void clbkSaveState(FILEHANDLE scn);
  // Reads the vessel's block; the default hands every line to ParseScenarioLineEx.
  virtual void clbkLoadStateEx(FILEHANDLE scn, void* status);
  virtual void clbkPostCreation();
  virtual void clbkPreStep(double simt, double simdt, double mjd);
  virtual void clbkPostStep(double simt, double simdt, double mjd);
  virtual void clbkNavMode(int mode, bool active);
  virtual int clbkConsumeDirectKey(char* kstate);
  virtual int clbkConsumeBufferedKey(DWORD key, bool down, char* kstate);
  virtual bool clbkLoadGenericCockpit();

 protected:
  ~VESSEL2() = default;
};

class VESSELAPI VESSEL3 : public VESSEL2 {
 public:
  VESSEL3(OBJHANDLE hVessel, int fmodel = 1) : VESSEL2(hVessel, fmodel) {}

  // Draws the vessel's HUD elements; the default draws nothing and returns true.
  virtual bool clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, Sketchpad* skp);

 protected:
  ~VESSEL3() = default;
};

// Light sources a vessel adds to itself. The host owns them; a module keeps the pointer.
#pragma once

#include "host/types.h"

class LightEmitter {
 public:
  LightEmitter() = default;
  LightEmitter(const LightEmitter&) = delete;
  LightEmitter& operator=(const LightEmitter&) = delete;
  virtual ~LightEmitter() = default;

  void Activate(bool act) { active_ = act; }
  bool IsActive() const { return active_; }

 protected:
  bool active_ = true;
};

class SpotLight : public LightEmitter {
 public:
  SpotLight(const VECTOR3& pos, const VECTOR3& dir, double range, double att0, double att1, double att2,
            double umbra, double penumbra, const COLOUR4& diffuse, const COLOUR4& specular,
            const COLOUR4& ambient)
      : pos_(pos),
        dir_(dir),
        range_(range),
        att_{att0, att1, att2},
        umbra_(umbra),
        penumbra_(penumbra),
        diffuse_(diffuse),
        specular_(specular),
        ambient_(ambient) {}

  const VECTOR3& GetPosition() const { return pos_; }
  const VECTOR3& GetDirection() const { return dir_; }
  double GetRange() const { return range_; }
  const double* GetAttenuation() const { return att_; }  // constant, linear, quadratic
  double GetUmbra() const { return umbra_; }
  double GetPenumbra() const { return penumbra_; }
  const COLOUR4& GetDiffuseColour() const { return diffuse_; }
  const COLOUR4& GetSpecularColour() const { return specular_; }
  const COLOUR4& GetAmbientColour() const { return ambient_; }

 private:
  VECTOR3 pos_, dir_;
  double range_;
  double att_[3];
  double umbra_, penumbra_;
  COLOUR4 diffuse_, specular_, ambient_;
};

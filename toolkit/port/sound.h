// Sound: the toolkit only ever stops what is playing.
#pragma once

namespace kivo::port {

class Sound {
 public:
  virtual ~Sound() = default;
  virtual void stop_all() = 0;
};

}  // namespace kivo::port

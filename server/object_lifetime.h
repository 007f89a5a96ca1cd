// The end of a plain object's life, shared by its last Release and by a
// creation that could not hand the object out.
#pragma once

namespace object {
class CoDeZiVero;
}

namespace server {

// Gives back the object's module lock, destroys its state and frees its record.
void DestroyObject(object::CoDeZiVero* object) noexcept;

}  // namespace server

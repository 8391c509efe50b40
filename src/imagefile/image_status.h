#pragma once

namespace morvik {

// The result of every image reader and writer. The numbers are part of the
// interface: the import and export flows turn each into its own message.
// Writers only ever answer Ok or CannotWrite.
enum class [[nodiscard]] ImageStatus : int{
    Ok = 0, TooManyColours = 1, TooLarge = 2, CannotRead = 3, NotAnImage = 4, CannotWrite = 1,
};

constexpr int statusNumber(ImageStatus status) {
    return static_cast<int>(status);
}

}  // namespace morvik

# The slide stage composes the next photo on a thread of its own.
target_link_libraries(tellavine_encode PUBLIC Threads::Threads)

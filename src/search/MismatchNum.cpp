namespace lumidex {} // namespace lumidex

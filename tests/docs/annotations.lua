-- Run as a game's main.lua by types_test.cpp, after a first line that sets
-- TYPES_FILE. Walks every binding module the executable opened and checks that
-- types/tarnwick.lua annotates each of its functions, classes (with their
-- members and methods), variables and constants; and that every module
-- function the file annotates exists. Logs one line per problem, then a count.
config = { width = 64, height = 64 }

local file = assert(io.open(TYPES_FILE, "rb"))
local text = file:read("*a")
file:close()

local problems = {}
local counted = 0

local function problem(what)
  problems[#problems + 1] = what
end

-- The annotation block that starts with `heading`: up to the next blank line.
local function block(heading)
  local start = text:find(heading .. "\n", 1, true)
  if not start then return nil end
  local stop = text:find("\n\n", start, true) or #text
  return text:sub(start, stop)
end

local function hasField(section, name)
  return section ~= nil and section:find("---@field " .. name .. " ", 1, true) ~= nil
end

local function checkClass(full, class)
  counted = counted + 1
  local section = block("---@class " .. full)
  if not section or not text:find("\nfunction " .. full .. "(", 1, true) then
    problem(full .. " (class)")
    return
  end
  -- Members and methods live in the metatable of the class's objects.
  local made, object = pcall(class)
  local meta = made and getmetatable(object)
  if not meta then return end
  for name in pairs(meta[".get"] or {}) do
    if not hasField(section, name) then problem(full .. "." .. name .. " (member)") end
  end
  for name in pairs(meta[".fn"] or {}) do
    if name ~= "__disown" and not hasField(section, name) then
      problem(full .. ":" .. name .. " (method)")
    end
  end
end

local modules = {}
for name, module in pairs(_G) do
  local meta = type(module) == "table" and getmetatable(module)
  -- Binding modules keep their variables' getters in the metatable.
  if meta and type(meta[".get"]) == "table" then modules[#modules + 1] = name end
end
table.sort(modules)

for _, name in ipairs(modules) do
  local module = _G[name]
  local section = block("---@class " .. name)
  if not section then problem(name .. " (module)") end
  for key, value in pairs(module) do
    local full = name .. "." .. key
    if type(value) == "function" then
      counted = counted + 1
      if not text:find("\nfunction " .. full .. "(", 1, true) then problem(full .. " (function)") end
    elseif type(value) == "table" then
      checkClass(full, value)
    elseif type(value) == "number" then
      counted = counted + 1
      if not hasField(section, key) then problem(full .. " (constant)") end
    end
  end
  for key in pairs(getmetatable(module)[".get"]) do
    counted = counted + 1
    if not hasField(section, key) then problem(name .. "." .. key .. " (variable)") end
  end
end

for _, name in ipairs({ "swig_type", "swig_equals" }) do
  counted = counted + 1
  if type(_G[name]) ~= "function" or not text:find("\nfunction " .. name .. "(", 1, true) then
    problem(name .. " (global function)")
  end
end

for name, key in text:gmatch("\nfunction ([%w_]+)%.([%w_]+)%(") do
  local module = rawget(_G, name)
  if type(module) ~= "table" or rawget(module, key) == nil then
    log.DLOG("Annotated but not exposed: " .. name .. "." .. key .. "\n")
  end
end

table.sort(problems)
for _, what in ipairs(problems) do
  log.DLOG("Not annotated in types/tarnwick.lua: " .. what .. "\n")
end
log.DLOG(string.format("Checked %d members of %d modules\n", counted, #modules))
app.quit()

---@meta tarnwick
-- Editor definitions for Tarnwick games: LuaCATS annotations that
-- lua-language-server (and editors built on it) read for completion, hover
-- help and type checks. Point the server's "workspace.library" setting at the
-- folder holding this file (share/tarnwick/types after an install); see
-- docs/getting-started.md.
--
-- Two parts:
-- * HAND-WRITTEN, from here to the BEGIN GENERATED marker: the globals a game
--   defines or reads, its callbacks, and the shapes of scene tables. New scene
--   fields, callbacks and globals are added here, by hand.
-- * GENERATED, between the markers: every module function, variable and class,
--   rewritten by tools/api/generate.py from the module interfaces (run
--   `cmake --build BUILD --target api-docs`). Do not edit that part.

-- ============================================================================
-- HAND-WRITTEN PART
-- ============================================================================

---A scene field may hold a function instead of a value: it is called with the
---table that owns the field, every time the field is read, and its result is
---used (a function it returns is called the same way).
---@alias tarnwick.number number|fun(node: table): number
---@alias tarnwick.string string|fun(node: table): string
---@alias tarnwick.boolean boolean|fun(node: table): boolean

---The game's size and window, read once after main.lua has run. Required.
---An unusable field ends start-up with one line and exit status 1.
---@class tarnwick.Config
---@field width integer the game's width in pixels, at least 1
---@field height integer the game's height in pixels, at least 1
---@field title? string the window title; default "Tarnwick", then the size titles
---@field fullscreen? boolean false: a window, as with --windowed; default true
---@field resizable? boolean the player may resize the window; default false
---@field vsync? boolean false: frames as fast as they come; default true
---@field quitOnEscape? boolean false: Escape does not end the run; default true
---@field cursor? boolean true: the system's mouse cursor shows; default false (hidden)
---@field icon? string a PNG of assets/textures/ as the window's icon; default none
---@field debug? boolean true: development mode, as with --debug; default false
---@field identity? string the save folder's name (a plain folder name); default the game folder's or archive's name

---@type tarnwick.Config
config = nil

---The colour the window is cleared to every frame, channels 0 to 1.
---A missing channel keeps its default: red 0.9, green 0.6, blue 0.3.
---@class tarnwick.ClearColor
---@field red? number
---@field green? number
---@field blue? number

---@type tarnwick.ClearColor?
clearColor = nil

---Render targets that `graphics.createRenderTargets()` creates, keyed by name.
---@class tarnwick.RenderTargetDescription
---@field width number pixels; a target without a positive size is not created
---@field height number pixels
---@field internalFormat? "GL_RG32F"|"GL_R32F" anything else: 8-bit RGBA
---@field format? "GL_RG"|"GL_RED" anything else: RGBA
---@field type? "GL_FLOAT" anything else: unsigned bytes
---@field depth? boolean a depth texture for the target; default true

---@type table<string, tarnwick.RenderTargetDescription>?
renderTextureTargets = nil

---The game's size in pixels, written by Tarnwick: the configured size from
---just before `init`; in a window, the real size after every window event
---(full screen keeps the configured size, scaled to the display).
---@type integer
screenWidth = nil
---@type integer
screenHeight = nil

---SDL key codes by name: keys.a .. keys.z, keys["0"] .. keys["9"], keys.space,
---keys.enter, keys.escape, keys.left, keys.right, keys.up, keys.down,
---keys.f1 .. keys.f12, keys.lshift, keys.kp_0, ... (SDLK_NAME in lower case).
---@type table<string, integer>
keys = nil

---Placement of a node or camera, relative to the table that holds it. Angles
---in degrees; world = parent × translate × rotateZ × rotateX × rotateY × scale.
---@class tarnwick.Transform
---@field x? tarnwick.number default 0
---@field y? tarnwick.number default 0; grows upwards
---@field z? tarnwick.number default 0; grows towards the viewer
---@field scale? tarnwick.number default 1; the default of scaleX, scaleY, scaleZ
---@field scaleX? tarnwick.number
---@field scaleY? tarnwick.number
---@field scaleZ? tarnwick.number
---@field rotation? tarnwick.number degrees about z, counter-clockwise; default 0
---@field rotationZ? tarnwick.number degrees about z; replaces rotation
---@field rotationX? tarnwick.number degrees about x; default 0
---@field rotationY? tarnwick.number degrees about y; default 0

---A camera: any table stored under a field named `camera` in `world` or in a
---table reachable from it through array entries.
---@class tarnwick.Camera: tarnwick.Transform
---@field layer? tarnwick.string draws only nodes whose layer equals this; default ""
---@field target? tarnwick.string name of a render target to draw into; default: the window
---@field clearTarget? tarnwick.boolean see docs/render-targets.md
---@field depthTest? tarnwick.boolean depth test for textured nodes; default false
---@field height? tarnwick.number visible height in world units; default screenHeight
---@field width? tarnwick.number visible width; read only when fit is not "height"
---@field fit? tarnwick.string "height" (default), "width", or anything else for both
---@field projection? tarnwick.string "ortho" (default) or "perspective"
---@field fov? tarnwick.number vertical field of view in degrees (default 45); its presence alone selects perspective

---What `emit` returns: the new particle. Curves are a number, or a function of
---the life fraction t (0 to 1) sampled 32 times when the particle is emitted.
---@class tarnwick.Particle
---@field lifeTime number seconds; a particle without one is never drawn
---@field x? number|fun(t: number, particle: table): number default 0
---@field y? number|fun(t: number, particle: table): number default 0
---@field z? number|fun(t: number, particle: table): number default 0
---@field rotation? number|fun(t: number, particle: table): number radians; default 0
---@field scale? number|fun(t: number, particle: table): number default 1
---@field alpha? number|fun(t: number, particle: table): number default 1
---@field sprite? number|fun(t: number, particle: table): number index into sprites, from 0; default 0
---@field red? number|fun(t: number, particle: table): number multiplies the sprite's red; default 1
---@field green? number|fun(t: number, particle: table): number multiplies the sprite's green; default 1
---@field blue? number|fun(t: number, particle: table): number multiplies the sprite's blue; default 1

---A particle emitter, the `particles` field of a node.
---@class tarnwick.Emitter
---@field frequency number emissions per second; missing or not positive: none
---@field burst? number emit this many at once (at most 4096) in the next frame, then the field is cleared
---@field sprite? string a sprite of assets/sprites/
---@field sprites? string[] several sprites, chosen by the particle's sprite curve; replaces sprite
---@field emit fun(emitter: tarnwick.Emitter, slot: integer): tarnwick.Particle
---@field space? "world"|string "world": particles stay where they were emitted; default: they move with the emitter
---@field vs? string vertex shader name; default "ptc"
---@field fs? string fragment shader name; default "ptc"

---The `physics` table of a world node (docs/physics.md).
---@class tarnwick.Physics
---@field gravity? number[]|{x: number, y: number} units per second²; default { 0, -9.8 * pixelsPerMeter }
---@field pixelsPerMeter? number world node units in a Box2D metre; default 64
---@field timeStep? number seconds per step; default 1/60
---@field debugDraw? boolean outline shapes, joints and contacts over the scene
---@field paused? boolean no steps while true; bodies stay drawn and answer queries

---One shape of a body (or the body table itself, for its one shape).
---@class tarnwick.Shape
---@field shape? "box"|"circle"|"polygon"|"edge"|"chain" default "box"
---@field width? number box width; default the node's width or texture width
---@field height? number box height; default the node's height or texture height
---@field radius? number circle radius
---@field x? number centre of a box or circle relative to the node
---@field y? number
---@field angle? number degrees a box is turned on the body
---@field points? number[] x1, y1, x2, y2, ... of a polygon (3 to 8 convex corners), edge (2) or chain
---@field loop? boolean a chain closing on itself
---@field side? "left"|"right"|"outside"|"inside" a chain's solid side; default "left" (open) or "outside" (loop)
---@field density? number kg per square metre; default 1
---@field friction? number default 0.2
---@field restitution? number default 0
---@field sensor? boolean detects overlaps without colliding
---@field category? integer collision category bits; default 1
---@field mask? integer categories it collides with; default 65535
---@field group? integer same negative group: never collide; same positive: always

---The `body` table of a node under a world node.
---@class tarnwick.Body: tarnwick.Shape
---@field type? "dynamic"|"static"|"kinematic" default "dynamic"
---@field shapes? tarnwick.Shape[] several shapes instead of the body table's one
---@field fixedRotation? boolean
---@field bullet? boolean
---@field gravityScale? number default 1
---@field linearDamping? number
---@field angularDamping? number
---@field vx? number starting velocity, units per second
---@field vy? number
---@field angularVelocity? number starting turn, degrees per second

---The `mapBodies` table of a tile map node under a world node.
---@class tarnwick.MapBodies
---@field tiles? boolean|string true: every tile layer's collision shapes; a name: that tile layer's
---@field objects? string the object layer whose rectangles, ellipses, polygons and polylines become shapes
---@field friction? number default 0.2
---@field restitution? number default 0

---What onCollision receives about a contact.
---@class tarnwick.Contact
---@field sensor boolean a sensor was involved: no point, normal or impulse
---@field normalX? number unit normal from the node towards the other
---@field normalY? number
---@field x? number contact point in the world node's units
---@field y? number
---@field impulse? number strongest normal impulse of the first step, kg · units / s

---A scene node. Its children are the values under its non-string keys
---(normally its array part): tables, or functions that return tables.
---Fields named `u_...` are uniforms too (see `uniforms`).
---@class tarnwick.Node: tarnwick.Transform
---@field [integer] tarnwick.Node|fun(): tarnwick.Node
---@field enabled? tarnwick.boolean false hides the node and everything below it
---@field onUpdate? fun(node: tarnwick.Node) called once a frame during the scene walk
---@field layer? tarnwick.string drawn only by cameras of the same layer; default ""
---@field camera? tarnwick.Camera
---@field texture? tarnwick.string a texture of assets/textures/ or a render target's name
---@field width? tarnwick.number rectangle width in world units and texels; default: the texture's
---@field height? tarnwick.number rectangle height; default: the texture's
---@field offsetX? tarnwick.number first texel column sampled; default 0
---@field offsetY? tarnwick.number first texel row sampled, from the first stored row; default 0
---@field tilemap? tarnwick.string a Tiled map of assets/maps/ (NAME.tmx or NAME.tmj), centred on the node
---@field tileLayer? tarnwick.string with tilemap: draw this tile layer only; default: every visible one
---@field animationTime? tarnwick.number seconds that models and tile animations play at; default: the run's clock
---@field model? tarnwick.string an OBJ or .mod model: a path, or a name in assets/models/
---@field vertices? number[] inline triangles: x, y, z of each corner, drawn in one colour
---@field framesPerSecond? tarnwick.number plays a .mod model's key frames at this rate; default: frame 0 only
---@field frames? tarnwick.number the frame where the animation loops; default the last key frame
---@field animationTime? tarnwick.number seconds into the animation; default the time since start
---@field loop? tarnwick.boolean false: play once and hold the last pose; default true
---@field particles? tarnwick.Emitter
---@field text? string|number|fun(node: tarnwick.Node): string|number text to draw (UTF-8); "" or anything else draws nothing
---@field font? tarnwick.string a font of assets/fonts/ named up to its extension; default: the default font
---@field size? tarnwick.number text size in pixels (the font's em), above 0 and at most 1024; default 16
---@field align? "left"|"center"|"right"|fun(node: tarnwick.Node): string which end of each line sits on the node; default "left"
---@field valign? "top"|"middle"|"baseline"|"bottom"|fun(node: tarnwick.Node): string which part of the block sits on the node; default "baseline"
---@field maxWidth? tarnwick.number lines break before a word that would make them wider; default: no wrapping
---@field physics? tarnwick.Physics makes the node a physics world for the bodies below it
---@field body? tarnwick.Body a body in the physics world above the node
---@field mapBodies? tarnwick.MapBodies with tilemap, under a world node: a static body from the map's collision shapes
---@field name? string names the node in physics warnings
---@field onCollision? fun(node: tarnwick.Node, other: tarnwick.Node, contact: tarnwick.Contact) a shape of its body began touching another
---@field onCollisionEnd? fun(node: tarnwick.Node, other: tarnwick.Node) and stopped
---@field vs? tarnwick.string vertex shader name (assets/shaders/gl210/NAME.vs)
---@field fs? tarnwick.string fragment shader name (assets/shaders/gl210/NAME.fs)
---@field uniforms? table<string, number|number[]|string|function> uniform values: numbers, lists of numbers, texture or render target names

---The scene root. Besides the node fields it holds the switches of the model
---pass, which apply to every model and inline vertex list.
---@class tarnwick.World: tarnwick.Node
---@field depthTest? tarnwick.boolean models: depth test; default true
---@field blend? tarnwick.boolean models: premultiplied blending; default true
---@field enableCulling? tarnwick.boolean models: back-face culling; default true
---@field clearTarget? tarnwick.boolean models: clear the camera's target before each mesh; default false

---Everything drawn: walked every frame. Frames where it is not a table draw
---nothing and read no input.
---@type tarnwick.World
world = nil

---Called once, after the window exists and every asset is loaded.
function init() end

---Called once a frame, before input and drawing.
---@param dt number seconds since the previous frame
function update(dt) end

---A key went down (auto-repeat included) or up.
---@param pressed boolean true for a press
---@param key integer SDL key code: a letter's or digit's character code, 32 space, 27 Escape, 13 Return, 1073741903..1073741906 right, left, down, up
---@param isRepeat boolean true for the presses auto-repeat sends while the key is held
function onKeyboardEvent(pressed, key, isRepeat) end

---A mouse button went down (1025) or up (1026). Called for every mouse button
---event: define it, or each one logs a "Lua error" line.
---@param type integer 1025 press, 1026 release
---@param button integer 1 left, 2 middle, 3 right, 4 and 5 side buttons
---@param x integer the game's pixels from the left
---@param y integer the game's pixels from the top
function onMouseButtonEvent(type, button, x, y) end

---A touch, or a mouse button as finger 1 right after onMouseButtonEvent.
---Called for every such event: define it, or each one logs a "Lua error" line.
---@param type integer 1792 down, 1793 up, 1794 motion (touches only)
---@param finger number 1 for the mouse, else SDL's finger identifier
---@param x number mouse: the game's pixels from the left; touch: 0 to 1
---@param y number mouse: the game's pixels from the top; touch: 0 to 1
function onTouchEvent(type, finger, x, y) end

---The mouse moved over the window. Called only when defined.
---@param x integer the game's pixels from the left
---@param y integer the game's pixels from the top
---@param dx integer the step from the previous position
---@param dy integer
function onMouseMoveEvent(x, y, dx, dy) end

---The wheel turned. Called only when defined.
---@param dx number positive to the right
---@param dy number positive away from the user
function onMouseWheelEvent(dx, dy) end

---Characters were typed, after layout and Shift. Called only when defined.
---@param text string UTF-8
function onTextInput(text) end

---A game controller's button went down or up. Called only when defined.
---@param pressed boolean
---@param button integer 0 A, 1 B, 2 X, 3 Y, 4 back, 5 guide, 6 start, 7 and 8 sticks, 9 and 10 shoulders, 11..14 d-pad up, down, left, right
---@param id integer the controller; a controller plugged in again gets a new one
function onGamepadEvent(pressed, button, id) end

---A game controller's stick or trigger moved. Called only when defined.
---@param axis integer 0, 1 left stick x, y; 2, 3 right stick x, y; 4, 5 left, right trigger
---@param value number sticks -1 to 1 (y positive down), triggers 0 to 1
---@param id integer the controller
function onGamepadAxis(axis, value, id) end

---The window changed size (a resizable window). Called only when defined.
---@param w integer the new screenWidth
---@param h integer the new screenHeight
function onResize(w, h) end

---main.lua was saved and has run again under --watch (init is not called
---again). Called only when defined.
function onReload() end

---The bound type of a value: "resources::Sheet *" for an object, "userdata
---(unknown type)" for other userdata, else Lua's type name.
---@param value any
---@return string
function swig_type(value) end

---True when both values are objects or boxes of the same native pointer;
---false for different pointers; nil when either is not such a value.
---@param a any
---@param b any
---@return boolean?
function swig_equals(a, b) end

-- BEGIN GENERATED MODULES (tools/api/generate.py; do not edit by hand)

---An opaque value (a native pointer or handle) that only another module call
---hands out; scripts pass it on and cannot read it.
---@alias tarnwick.box userdata

---@class graphics
---@field MAX_ATTRIBUTES integer
---@field gr_programs tarnwick.box
graphics = {}

--- One vertex attribute of a batch: `size` floats at `offset` floats into each vertex.
---@class graphics.Attribute
---@field size integer
---@field offset integer

---Makes a new `Attribute` owned by the script.
---@return graphics.Attribute
function graphics.Attribute() end

--- One uniform value of a batch: `size` bytes held by the record.
---@class graphics.Uniform
---@field size integer
---@field value tarnwick.box

---Makes a new `Uniform` owned by the script.
---@overload fun(size: integer, value: any): graphics.Uniform
---@overload fun(other: graphics.Uniform): graphics.Uniform
---@return graphics.Uniform
function graphics.Uniform() end

--- Triangles to draw: vertex data, attributes, program, uniforms, target and switches.
---@class graphics.Batch
---@field data tarnwick.box?
---@field indices tarnwick.box?
---@field indexCount integer
---@field triangles integer
---@field attributeSizes tarnwick.box
---@field attributes tarnwick.box
---@field stride integer
---@field freeData boolean
---@field program tarnwick.box
---@field uniforms tarnwick.box
---@field targetName resources.string
---@field layerName resources.string
---@field enableDepthTest boolean
---@field enableBlending boolean
---@field enableCulling boolean
---@field clearTarget boolean
---@field getStride fun(self: graphics.Batch): integer

---Makes a new `Batch` owned by the script.
---@return graphics.Batch
function graphics.Batch() end

--- A named off-screen target: framebuffer, colour texture and size in pixels.
---@class graphics.RenderTarget
---@field frameBuffer tarnwick.box
---@field texture tarnwick.box
---@field width integer
---@field height integer

---Makes a new `RenderTarget` owned by the script.
---@return graphics.RenderTarget
function graphics.RenderTarget() end

--- Compiles and links the shader pair `vs`, `fs` (names under assets/shaders/gl210/),
--- without caching it. A missing file ends the run.
---@param vs string
---@param fs string
---@return tarnwick.box
function graphics.gr_createProgram(vs, fs) end

--- The cached program of the pair, built on first request.
---@param vs resources.string
---@param ps resources.string
---@return tarnwick.box
function graphics.gr_getProgram(vs, ps) end

--- Makes the program current (skipped when it already is).
---@param programID tarnwick.box
function graphics.gr_useProgram(programID) end

--- Loads the GL entry points and builds the diagnostic program. Tarnwick calls it at
--- start-up; calling it again is harmless but useless.
function graphics.gr_init() end

--- Sets the GL clear colour (1 is full intensity, not 255). The frame's own clearing, from
--- `clearColor`, overrides it every frame.
---@param r integer
---@param g integer
---@param b integer
---@param a integer
function graphics.gr_setClearColor(r, g, b, a) end

--- Uploads RGBA pixels as a texture. The pixel and GL parameters can only be boxes from
--- other calls, so scripts cannot use it usefully.
---@param data tarnwick.box?
---@param width integer
---@param height integer
---@param premultiplyAlpha integer
---@param internalFormat tarnwick.box
---@param format tarnwick.box
---@param wrap tarnwick.box
---@param mipmapLevels tarnwick.box
---@return tarnwick.box
function graphics.gr_createTexture(data, width, height, premultiplyAlpha, internalFormat, format, wrap, mipmapLevels) end

--- Creates one render target; false when it is refused (a size GL cannot make, or no memory
--- for it). The format parameters can only be boxes; use `createRenderTargets` instead.
---@param width integer
---@param height integer
---@param name resources.string
---@param internalFormat tarnwick.box
---@param format tarnwick.box
---@param type tarnwick.box
---@param depth boolean
---@return boolean
function graphics.gr_createRenderTarget(width, height, name, internalFormat, format, type, depth) end

--- The render target of that name, or nil.
---@param name resources.string
---@return graphics.RenderTarget?
function graphics.gr_getRenderTarget(name) end

--- Clears every render target to transparent black.
function graphics.gr_clearRenderTargets() end

--- Binds the window's framebuffer and logs its status (no line break).
function graphics.gr_prepareFrameBuffer() end

--- Draws one batch at once. A batch needs vertex data, which scripts cannot provide, so
--- this draws nothing useful from a script; nil is ignored.
---@param batch graphics.Batch?
function graphics.gr_render(batch) end

--- Draws a matrix of batches, one list per camera; only a box can be passed.
---@param batchMatrix tarnwick.box
function graphics.gr_renderBatches(batchMatrix) end

--- Draws the diagnostic white triangle across the window (seen only if called while a frame
--- is drawn, which scripts cannot do).
function graphics.gr_testrender() end

--- Creates the render targets described in the global `renderTextureTargets` (see
--- docs/render-targets-and-shaders.md), replacing targets of the same names. Call it in
--- `init`. Does nothing when `renderTextureTargets` is not a table.
function graphics.createRenderTargets() end

---@class resources
---@field TEMP_DIR string?
resources = {}

--- A native string, needed for the text parameters of `graphics`:
--- `resources.string("scene")`. `:c_str()` gives its text.
---@class resources.string
---@field size fun(self: resources.string): integer
---@field length fun(self: resources.string): integer
---@field empty fun(self: resources.string): boolean
---@field c_str fun(self: resources.string): string?
---@field data fun(self: resources.string): string?
---@field assign fun(self: resources.string, text: string)

---Makes a new `string` owned by the script.
---@overload fun(arg: string): resources.string
---@return resources.string
function resources.string() end

--- A block of RGBA pixels that became (or will become) one texture.
---@class resources.Sheet
---@field width integer
---@field height integer
---@field data tarnwick.box?
---@field texture integer

---Makes a new `Sheet` owned by the script.
---@return resources.Sheet
function resources.Sheet() end

--- A named rectangle on the sprite sheet: size in pixels and the texture coordinates of its
--- four corners.
---@class resources.Sprite
---@field sheet resources.Sheet?
---@field width integer
---@field height integer
---@field uv tarnwick.box

---Makes a new `Sprite` owned by the script.
---@return resources.Sprite
function resources.Sprite() end

--- One character of a font: its sprite on the glyph sheet and its metrics.
---@class resources.Glyph
---@field sprite resources.Sprite
---@field left integer
---@field top integer
---@field advance number

---Makes a new `Glyph` owned by the script.
---@return resources.Glyph
function resources.Glyph() end

--- A rasterised font: its glyphs, name and pixel size.
---@class resources.Font
---@field glyphs tarnwick.box
---@field name string
---@field size integer

---Makes a new `Font` owned by the script.
---@return resources.Font
function resources.Font() end

--- Starts the font rasteriser. Tarnwick calls it at start-up.
function resources.init() end

--- Opens a file (relative to the game folder) with a C `fopen` mode; the box cannot be read
--- or closed from a script.
---@param name string
---@param mode string
---@return tarnwick.box?
function resources.openFile(name, mode) end

--- The texture loaded from assets/textures/ under that name, or nil (render targets are not
--- found here).
---@param name string
---@return resources.Sheet?
function resources.getTexture(name) end

--- One byte of a loaded texture's pixels: pixel `pixelIndex` counted row by row over the
--- padded square texture from its first stored row, channel 0 to 3 for R, G, B, A. Colour
--- channels come back premultiplied by alpha. 0 for an unknown name or a position outside
--- the texture.
---@param name string
---@param pixelIndex integer
---@param channel integer
---@return integer
function resources.getColorFromTexture(name, pixelIndex, channel) end

--- Releases every pixel sheet. Tarnwick calls it at shutdown; after it, textures, sprites
--- and fonts must not be used.
function resources.clear() end

--- Packs every PNG of a folder onto a new 2048 × 2048 sheet and registers its sprites. The
--- sheet is not uploaded, so its sprites cannot be drawn: only the start-up sheet
--- (assets/sprites/) is.
---@param folder string
---@return resources.Sheet?
function resources.createSpriteSheet(folder) end

--- A copy of the sprite of that name on the sprite sheet; a missing name logs `Couldn't
--- find sprite "NAME"` and gives the sprite `blockerSad` (or an empty sprite).
---@param alias string
---@return resources.Sprite
function resources.getSprite(alias) end

--- Writes a sprite's texture coordinates into vertex data; only a box can be given for the
--- vertices.
---@param resource resources.Sprite
---@param vertices tarnwick.box
---@param offset integer
---@param stride integer
function resources.getUVs(resource, vertices, offset, stride) end

--- Rasterises `folder .. fontName .. ".ttf"` at `size` pixels (the folder needs its
--- trailing slash), the default character set being letters, digits and `!?#%:/(),._-+` and
--- space. The glyph sheet is not uploaded.
---@overload fun(folder: string, fontName: string, size: integer): resources.Sheet?
---@param folder string
---@param fontName string
---@param size integer
---@param characters string
---@return resources.Sheet?
function resources.loadFont(folder, fontName, size, characters) end

--- A copy of the font loaded under that name and size, or used at that size by text on
--- screen or `measureText` (then with its ASCII glyphs); otherwise logs `WARNING! Using
--- font that hasn't been created: NAME SIZE` and gives an empty font.
---@param name string
---@param size integer
---@return resources.Font
function resources.getFont(name, size) end

--- How far the pen moves after character `c` (its first character) of the font loaded (or
--- used by text) at size 48, in whole pixels; 0 for an unknown character or font.
---@param fontName string
---@param c string
---@return integer
function resources.getGlyphAdvance(fontName, c) end

--- Pixels from the pen to the left edge of the glyph of `c`, font at size 48.
---@param fontName string
---@param c string
---@return integer
function resources.getGlyphLeft(fontName, c) end

--- Pixels from the baseline up to the top of the glyph of `c`, font at size 48.
---@param fontName string
---@param c string
---@return integer
function resources.getGlyphTop(fontName, c) end

--- Measures UTF-8 `text` as a text node with these `font` ("" for the default font), `size`
--- and, when given and above 0, `maxWidth` would set it (see the scene reference, "Text").
--- An unknown font logs one line and is measured in the default font; a size of 0 or less,
--- or above 1024, logs one line and measures 0, 0, 0.
---@overload fun(font: string, size: number, text: string): number, number, integer
---@param font string
---@param size number
---@param text string
---@param maxWidth number
---@return number width
---@return number height
---@return integer lines
function resources.measureText(font, size, text, maxWidth) end

--- Loads every 8-bit RGBA PNG of a folder (give it a trailing slash, like
--- "assets/textures/") as textures, replacing textures of the same names.
---@param folder string
function resources.loadTextures(folder) end

--- A file of the game, from its folder or its archive, as a string of its bytes (binary
--- files included). The name is relative to the game, like "assets/data/level1.txt"; a name
--- that leaves the game ("../x", "/etc/x") raises an error, as does a file that exists but
--- cannot be read.
---@param name string
---@return string?
function resources.readFile(name) end

---@class audio
audio = {}

--- Opens the audio device. Tarnwick calls it at start-up; again does nothing.
function audio.init() end

--- Frees the music and every cached effect and closes the device; the module can be used
--- again after `init`.
function audio.clear() end

--- Replaces the music with the named file and loops it forever.
---@param name string
function audio.playMusic(name) end

--- Pauses the music, if any. Losing the window's focus does this too.
function audio.pauseMusic() end

--- Resumes paused music, if any.
function audio.resumeMusic() end

--- Plays the named sound effect once; the first use loads it and logs `Load sound PATH`.
--- One effect sounds at a time: a new one cuts the last. `playSound` mixes instead.
---@param name string
function audio.playEffect(name) end

--- `true` silences the music (until `false`), across later `playMusic` calls.
---@param mute boolean
function audio.muteMusic(mute) end

--- `true` silences sound effects, `playEffect`'s and `playSound`'s (until `false`); the
--- music is not affected.
---@param mute boolean
function audio.muteSound(mute) end

--- Replaces the music like `playMusic`. `options`: `fadeIn` (seconds), `position` (seconds
--- into the track, where the format can seek), `loop` (`true`, the default: forever;
--- `false`: once; a number: repetitions after the first play).
---@param name string
---@param options table?
function audio.startMusic(name, options) end

--- Fades the music out over `seconds`, then stops it.
---@param seconds number
function audio.fadeOutMusic(seconds) end

--- Stops the music at once and frees it.
function audio.stopMusic() end

--- Plays the named effect on one of 32 mixing voices, beside everything else playing
--- (loaded and cached like `playEffect`'s). `options`: `volume` 0 .. 1, `pan` -1 (left) ..
--- 1 (right), `loop` (`true`: until stopped; a number: repetitions after the first play),
--- `pitch` (speed factor, 0.25 .. 4). With every voice busy, the oldest sound that does not
--- loop gives way. See docs/audio.md.
---@param name string
---@param options table?
---@return integer
function audio.playSound(name, options) end

--- Stops the sound. A handle whose sound has ended does nothing.
---@param handle integer
function audio.stopSound(handle) end

--- Changes a playing sound's volume, 0 .. 1.
---@param handle integer
---@param volume number
function audio.setSoundVolume(handle, volume) end

--- Changes a playing sound's pan, -1 (left) .. 1 (right).
---@param handle integer
---@param pan number
function audio.setSoundPan(handle, pan) end

--- True while the handle's sound plays; false once it ended or was stopped.
---@param handle integer
---@return boolean
function audio.isSoundPlaying(handle) end

--- Stops every sound `playSound` started; `playEffect`'s keeps playing.
function audio.stopAllSounds() end

--- Scales everything, 0 .. 1 (1 at start). Music plays at master × music, effects at master
--- × effects × their own volume.
---@param volume number
function audio.setMasterVolume(volume) end

--- The music's volume, 0 .. 1 (1 at start).
---@param volume number
function audio.setMusicVolume(volume) end

--- The volume of every effect, `playEffect`'s and `playSound`'s, 0 .. 1 (1 at start).
---@param volume number
function audio.setEffectsVolume(volume) end

--- The master volume, 0 .. 1.
---@return number
function audio.getMasterVolume() end

--- The music's volume, 0 .. 1.
---@return number
function audio.getMusicVolume() end

--- The effects' volume, 0 .. 1.
---@return number
function audio.getEffectsVolume() end

---@class app
app = {}

--- Logs `Exit` and ends the run after the current frame (before the first frame, when
--- called from `init` or `main.lua`'s top level). Exit status 0.
function app.quit() end

--- True while the key is held. `key` is an SDL key code, best written with the `keys`
--- table: `app.isKeyDown(keys.left)`. Codes no key gives read false.
---@param key integer
---@return boolean
function app.isKeyDown(key) end

--- True when the key was pressed since the last frame (auto-repeat does not count), even if
--- it was released again within the frame. `update` sees the presses the previous frame
--- read; see docs/input-and-callbacks.md.
---@param key integer
---@return boolean
function app.keyWentDown(key) end

--- True when the key was released since the last frame.
---@param key integer
---@return boolean
function app.keyWentUp(key) end

--- True when the mouse button (1 left, 2 middle, 3 right) was pressed since the last frame.
---@param button integer
---@return boolean
function app.mouseButtonWentDown(button) end

--- True when the mouse button was released since the last frame.
---@param button integer
---@return boolean
function app.mouseButtonWentUp(button) end

--- True while the mouse button is held.
---@param button integer
---@return boolean
function app.isMouseButtonDown(button) end

--- The mouse position in the game's pixels, x from the left and y from the top: `local x, y
--- = app.getMousePosition()`. In a scaled full-screen run it is mapped back into the game's
--- size (outside 0 .. size - 1 over the black bars). 0, 0 before the window exists.
---@return integer x
---@return integer y
function app.getMousePosition() end

--- The clipboard's text; empty when it holds none.
---@return string?
function app.getClipboardText() end

--- Replaces the clipboard's text.
---@param text string
function app.setClipboardText(text) end

--- Shows (`true`) or hides (`false`) the mouse cursor over the window. It starts hidden
--- unless `config.cursor = true`.
---@param show boolean
function app.showCursor(show) end

--- True while the mouse cursor shows.
---@return boolean
function app.isCursorShown() end

--- The system's cursor shape: "arrow", "hand", "ibeam" or "crosshair".
---@param name string
---@return boolean
function app.setSystemCursor(name) end

--- A PNG of assets/textures/ as the cursor; pixel (hotX, hotY) from its top-left corner is
--- the point that clicks.
---@param file string
---@param hotX integer
---@param hotY integer
---@return boolean
function app.setCursorImage(file, hotX, hotY) end

---@class bodies
bodies = {}

--- True when the node has a live body.
---@param node table
---@return boolean
function bodies.hasBody(node) end

--- Changes the body's velocity at once by the impulse (kg · units / s) at its centre of
--- mass, waking it.
---@param node table
---@param x number
---@param y number
function bodies.applyImpulse(node, x, y) end

--- A turning impulse (kg · units² / s), waking the body.
---@param node table
---@param impulse number
function bodies.applyAngularImpulse(node, impulse) end

--- A force (kg · units / s²) at the centre of mass for the next step: call it every frame
--- for a steady push.
---@param node table
---@param x number
---@param y number
function bodies.applyForce(node, x, y) end

--- A torque (kg · units² / s²) for the next step.
---@param node table
---@param torque number
function bodies.applyTorque(node, torque) end

--- Sets the linear velocity in units per second.
---@param node table
---@param x number
---@param y number
function bodies.setVelocity(node, x, y) end

---@param node table
---@return any
function bodies.getVelocity(node) end

--- Sets the turning speed in degrees per second (counter-clockwise).
---@param node table
---@param degreesPerSecond number
function bodies.setAngularVelocity(node, degreesPerSecond) end

--- The turning speed in degrees per second.
---@param node table
---@return number
function bodies.getAngularVelocity(node) end

--- The body's mass in kilograms (0 for static and kinematic bodies).
---@param node table
---@return number
function bodies.getMass(node) end

--- Puts the body at x, y turned by rotation degrees, keeping its velocity, and writes the
--- three into the node at once.
---@param node table
---@param x number
---@param y number
---@param rotation number
function bodies.teleport(node, x, y, rotation) end

--- The nearest shape (sensors left out) on the segment from x1, y1 to x2, y2.
---@param world table
---@param x1 number
---@param y1 number
---@param x2 number
---@param y2 number
---@return any
function bodies.rayCast(world, x1, y1, x2, y2) end

---@param world table
---@param x1 number
---@param y1 number
---@param x2 number
---@param y2 number
---@return any
function bodies.rayCastAll(world, x1, y1, x2, y2) end

---@param world table
---@param x1 number
---@param y1 number
---@param x2 number
---@param y2 number
---@return any
function bodies.queryBox(world, x1, y1, x2, y2) end

---@param world table
---@param x number
---@param y number
---@return any
function bodies.queryPoint(world, x, y) end

--- Keeps the anchors ax, ay (on a) and bx, by (on b) at the distance they have now, as a
--- rod; `setJointSpring` makes it a spring.
---@param a table
---@param b table
---@param ax number
---@param ay number
---@param bx number
---@param by number
---@return integer
function bodies.distanceJoint(a, b, ax, ay, bx, by) end

--- Pins a and b together at x, y; they turn freely about it.
---@param a table
---@param b table
---@param x number
---@param y number
---@return integer
function bodies.revoluteJoint(a, b, x, y) end

--- Lets b slide along the axis (axisX, axisY) through x, y relative to a, without turning.
---@param a table
---@param b table
---@param x number
---@param y number
---@param axisX number
---@param axisY number
---@return integer
function bodies.prismaticJoint(a, b, x, y, axisX, axisY) end

--- Glues a and b together at x, y.
---@param a table
---@param b table
---@param x number
---@param y number
---@return integer
function bodies.weldJoint(a, b, x, y) end

--- A wheel b on a: it turns freely about x, y and springs along the axis (axisX, axisY)
--- like a suspension (4 Hz, damping ratio 0.7).
---@param a table
---@param b table
---@param x number
---@param y number
---@param axisX number
---@param axisY number
---@return integer
function bodies.wheelJoint(a, b, x, y, axisX, axisY) end

--- Pulls the node's body towards a target, starting at x, y, with at most maxForce (kg ·
--- units / s²); move the target with setJointTarget. For dragging bodies with the mouse.
---@param node table
---@param x number
---@param y number
---@param maxForce number
---@return integer
function bodies.mouseJoint(node, x, y, maxForce) end

--- Moves a mouse joint's target to x, y.
---@param joint integer
---@param x number
---@param y number
function bodies.setJointTarget(joint, x, y) end

--- Turns a revolute or wheel joint's motor on or off at `speed` degrees per second with at
--- most maxTorque (kg · units² / s²); for a prismatic joint speed is in units per second
--- and maxTorque is the most force.
---@param joint integer
---@param enabled boolean
---@param speed number
---@param maxTorque number
function bodies.setJointMotor(joint, enabled, speed, maxTorque) end

--- Turns a joint's limits on or off: degrees for a revolute joint, units along the axis for
--- prismatic and wheel joints. lower must not lie above upper.
---@param joint integer
---@param enabled boolean
---@param lower number
---@param upper number
function bodies.setJointLimits(joint, enabled, lower, upper) end

--- Frequency (Hz) and damping ratio of a distance joint (0 Hz: a rigid rod), wheel joint,
--- mouse joint or weld joint.
---@param joint integer
---@param frequency number
---@param dampingRatio number
function bodies.setJointSpring(joint, frequency, dampingRatio) end

--- False once the joint was destroyed, by destroyJoint or with either of its bodies.
---@param joint integer
---@return boolean
function bodies.jointExists(joint) end

--- Destroys the joint; a number no joint has is ignored.
---@param joint integer
function bodies.destroyJoint(joint) end

---@class saves
saves = {}

--- Stores `data` (text or binary) under `name`, replacing what was there. The write is
--- atomic: a run killed at any moment leaves the old contents or the new, never a mix.
---@param name string
---@param data string
function saves.write(name, data) end

--- The string stored under `name`. A save that is there but cannot be read (a folder of
--- that name, a failing disk) raises an error.
---@param name string
---@return string?
function saves.read(name) end

--- Removes the save `name`; true when there was one.
---@param name string
---@return boolean
function saves.remove(name) end

--- The names of the saves, sorted.
---@return string[]
function saves.list() end

--- The save folder's path, for a script's own `io`. The folder is made by the first
--- `saves.write`: until then it may not exist.
---@return string
function saves.path() end

---@class log
log = {}

--- Prints the text as it is, with no line break of its own: end it with "\n". Format values
--- first: `log.DLOG(string.format("score %d\n", score))`.
---@param format string
function log.DLOG(format) end

---@class tilemaps
tilemaps = {}

--- The map as a new table: size, tile size, layers with their objects, every object,
--- tilesets, tiles by gid with their properties, collision shapes and animations, custom
--- properties with their types.
---@param name string
---@return table
function tilemaps.getMap(name) end

--- The collision shapes of every tile of the layer, placed at their cells with the cells'
--- flips applied, in the node's units; polygons counter-clockwise.
---@param name string
---@param tileLayer string
---@return table
function tilemaps.getTileShapes(name, tileLayer) end

--- The tile at the cell: its gid (0 for an empty cell) and whether it is flipped in x, in y
--- and on the diagonal: `local gid, flipX, flipY, flipDiagonal = tilemaps.getTile("level1",
--- "ground", 3, 7)`.
---@param name string
---@param tileLayer string
---@param x integer
---@param y integer
---@return integer
---@return boolean flipX
---@return boolean flipY
---@return boolean flipDiagonal
function tilemaps.getTile(name, tileLayer, x, y) end

--- Puts the tile `gid` (0 empties the cell) at the cell, flipped as asked; every node
--- showing the map draws it from the next frame on.
---@overload fun(name: string, tileLayer: string, x: integer, y: integer, gid: integer, flipX: boolean, flipY: boolean)
---@overload fun(name: string, tileLayer: string, x: integer, y: integer, gid: integer, flipX: boolean)
---@overload fun(name: string, tileLayer: string, x: integer, y: integer, gid: integer)
---@param name string
---@param tileLayer string
---@param x integer
---@param y integer
---@param gid integer
---@param flipX boolean
---@param flipY boolean
---@param flipDiagonal boolean
function tilemaps.setTile(name, tileLayer, x, y, gid, flipX, flipY, flipDiagonal) end

---@class facebook
facebook = {}

function facebook.init() end

function facebook.login() end

---@class gpgutils
gpgutils = {}

function gpgutils.showLeaderboards() end

function gpgutils.showAchievements() end

---@param value integer
function gpgutils.submitScore(value) end

---@param id string
function gpgutils.unlockAchievement(id) end

function gpgutils.cleanup() end

-- END GENERATED MODULES

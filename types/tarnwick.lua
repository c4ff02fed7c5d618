---@meta tarnwick

-- BEGIN GENERATED MODULES (tools/api/generate.py; do not edit by hand)

---An opaque value (a native pointer or handle) that only another module call
---hands out; scripts pass it on and cannot read it.
---@alias tarnwick.box userdata

---@class graphics
---@field MAX_ATTRIBUTES integer
---@field gr_programs tarnwick.box
graphics = {}

---@class graphics.Uniform
---@field size integer
---@field value tarnwick.box

---Makes a new `Uniform` owned by the script.
---@overload fun(size: integer, value: any): graphics.Uniform
---@overload fun(other: graphics.Uniform): graphics.Uniform
---@return graphics.Uniform
function graphics.Uniform() end

---@class graphics.Attribute
---@field size integer
---@field offset integer

---Makes a new `Attribute` owned by the script.
---@return graphics.Attribute
function graphics.Attribute() end

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

---@class graphics.RenderTarget
---@field frameBuffer tarnwick.box
---@field texture tarnwick.box
---@field width integer
---@field height integer

---Makes a new `RenderTarget` owned by the script.
---@return graphics.RenderTarget
function graphics.RenderTarget() end

---@param r integer
---@param g integer
---@param b integer
---@param a integer
function graphics.gr_setClearColor(r, g, b, a) end

function graphics.gr_init() end

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

---@param width integer
---@param height integer
---@param name resources.string
---@param internalFormat tarnwick.box
---@param format tarnwick.box
---@param type tarnwick.box
---@param depth boolean
function graphics.gr_createRenderTarget(width, height, name, internalFormat, format, type, depth) end

---@param vs string
---@param fs string
---@return tarnwick.box
function graphics.gr_createProgram(vs, fs) end

---@param programID tarnwick.box
function graphics.gr_useProgram(programID) end

---@param batch graphics.Batch?
function graphics.gr_render(batch) end

function graphics.gr_testrender() end

---@param batchMatrix tarnwick.box
function graphics.gr_renderBatches(batchMatrix) end

function graphics.gr_prepareFrameBuffer() end

---@param name resources.string
---@return graphics.RenderTarget?
function graphics.gr_getRenderTarget(name) end

function graphics.gr_clearRenderTargets() end

---@param vs resources.string
---@param ps resources.string
---@return tarnwick.box
function graphics.gr_getProgram(vs, ps) end

function graphics.createRenderTargets() end

---@class resources
---@field TEMP_DIR string?
resources = {}

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

---@class resources.Sheet
---@field width integer
---@field height integer
---@field data tarnwick.box?
---@field texture integer

---Makes a new `Sheet` owned by the script.
---@return resources.Sheet
function resources.Sheet() end

---@class resources.Sprite
---@field sheet resources.Sheet?
---@field width integer
---@field height integer
---@field uv tarnwick.box

---Makes a new `Sprite` owned by the script.
---@return resources.Sprite
function resources.Sprite() end

---@class resources.Glyph
---@field sprite resources.Sprite
---@field left integer
---@field top integer
---@field advance number

---Makes a new `Glyph` owned by the script.
---@return resources.Glyph
function resources.Glyph() end

---@class resources.Font
---@field glyphs tarnwick.box
---@field name string
---@field size integer

---Makes a new `Font` owned by the script.
---@return resources.Font
function resources.Font() end

---@param folder string
---@return resources.Sheet?
function resources.createSpriteSheet(folder) end

---@overload fun(folder: string, fontName: string, size: integer): resources.Sheet?
---@param folder string
---@param fontName string
---@param size integer
---@param characters string
---@return resources.Sheet?
function resources.loadFont(folder, fontName, size, characters) end

---@param alias string
---@return resources.Sprite
function resources.getSprite(alias) end

---@param folder string
function resources.loadTextures(folder) end

---@param name string
---@return resources.Sheet?
function resources.getTexture(name) end

---@param name string
---@param pixelIndex integer
---@param channel integer
---@return integer
function resources.getColorFromTexture(name, pixelIndex, channel) end

---@param name string
---@param size integer
---@return resources.Font
function resources.getFont(name, size) end

function resources.init() end

---@param resource resources.Sprite
---@param vertices tarnwick.box
---@param offset integer
---@param stride integer
function resources.getUVs(resource, vertices, offset, stride) end

function resources.clear() end

---@param name string
---@param mode string
---@return tarnwick.box?
function resources.openFile(name, mode) end

---@param fontName string
---@param c string
---@return integer
function resources.getGlyphAdvance(fontName, c) end

---@param fontName string
---@param c string
---@return integer
function resources.getGlyphLeft(fontName, c) end

---@param fontName string
---@param c string
---@return integer
function resources.getGlyphTop(fontName, c) end

---@class audio
audio = {}

function audio.init() end

function audio.clear() end

---@param name string
function audio.playMusic(name) end

function audio.pauseMusic() end

function audio.resumeMusic() end

---@param name string
function audio.playEffect(name) end

---@param mute boolean
function audio.muteMusic(mute) end

---@param mute boolean
function audio.muteSound(mute) end

---@class app
app = {}

function app.quit() end

---@class log
log = {}

---@param text string
function log.DLOG(text) end

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

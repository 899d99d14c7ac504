# What the Ruby test scripts share to read and write a project's data files with Ruby's own
# Marshal and nothing of the program under test: each class the data names is made as it is
# met, packed values keep their bytes so a file is written back as it was read, and data
# files are found without regard to letter case, as the editor's files are.
#
#   require_relative '../support/marshal_stubs'
#   system = load_data(data_file(folder, 'System.rxdata'))
#   iv(system, :@switches)[1] = 'name'
#   save_data(data_file(folder, 'System.rxdata'), system)

# Records: instance variables are read with method calls too (rec.name -> @name).
class Rec
  def method_missing(name, *args)
    ivar = :"@#{name}"
    return instance_variable_get(ivar) if args.empty? && instance_variable_defined?(ivar)

    super
  end

  def respond_to_missing?(name, include_private = false)
    instance_variable_defined?(:"@#{name}") || super
  end
end

# Table, Color and Tone keep their bytes, so dumping writes them back unchanged. A script
# that reads cells defines its own Table before it loads anything.
class Packed
  attr_accessor :bytes

  def self._load(bytes) = allocate.tap { |o| o.bytes = bytes }
  def _dump(_level) = bytes
end

PACKED_CLASSES = %w[Table Color Tone].freeze

# Defines a class the data names (e.g. RPG::Event::Page) and the ones it sits in.
def define_path(path)
  names = path.split('::')
  names.inject(Object) do |mod, name|
    next mod.const_get(name, false) if mod.const_defined?(name, false)

    packed = name == names.last && PACKED_CLASSES.include?(name)
    mod.const_set(name, Class.new(packed ? Packed : Rec))
  end
end

# Marshal.load of a file, defining each class the data names as it meets it.
def load_data(path)
  bytes = File.binread(path)
  begin
    Marshal.load(bytes)
  rescue ArgumentError => e
    raise unless e.message =~ %r{undefined class/module (\S+)}

    define_path(Regexp.last_match(1))
    retry
  end
end

def save_data(path, value) = File.binwrite(path, Marshal.dump(value))

# An instance variable, or nil (also of nil).
def iv(obj, name) = obj&.instance_variable_defined?(name) ? obj.instance_variable_get(name) : nil

# A path below base, each part matched exactly first, then ignoring letter case; or nil.
def find_nocase(base, parts)
  parts.inject(base) do |dir, part|
    return nil unless File.directory?(dir)

    hit = File.exist?(File.join(dir, part)) ? part : Dir.children(dir).sort.find { |c| c.casecmp?(part) }
    return nil unless hit

    File.join(dir, hit)
  end
end

# The path of a file of a project's Data folder, or nil.
def data_file(folder, name) = find_nocase(folder, ['Data', name])

# What the Ruby cross-check scripts share to read a project's data files with Ruby's own
# Marshal and nothing of the program under test.

# Records: instance variables are read with method calls (rec.name -> @name).
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

# Packed runtime values (Table, Color, Tone) whose bytes the reader does not need.
class StubLoad
  def self._load(_bytes) = new
end

# Defines a class the data names (e.g. RPG::Event::Page) on the fly.
def define_path(path)
  names = path.split('::')
  names.inject(Object) do |mod, name|
    next mod.const_get(name, false) if mod.const_defined?(name, false)
    packed = name == names.last && %w[Table Color Tone].include?(name)
    mod.const_set(name, packed ? Class.new(StubLoad) : Class.new)
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

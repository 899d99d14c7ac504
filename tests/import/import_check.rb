# Checks an imported data file with Ruby's own Marshal: NEW must equal ORIG with the
# given edits made, and nothing else changed.
# Usage: ruby import_check.rb ORIG NEW < edits
#   edit lines: "name<TAB>switches|variables|elements<TAB>ID<TAB>TEXT"
#               "param<TAB>ACTOR<TAB>PARAMETER<TAB>LEVEL<TAB>VALUE"
# Exits 0 when equal; otherwise prints the first difference and exits 1.
#        ruby import_check.rb --plain FILE
#   rewrites FILE with every string in the editor's form (plain bytes, no encoding flag).
#        ruby import_check.rb --share FILE
#   rewrites System.rxdata FILE with switch 2 and variable 1 the very string of switch 1,
#   so Marshal writes them as links to it.

require_relative '../support/marshal_stubs'

def canon(v)
  case v
  when nil, true, false, Integer, Symbol then v
  when Float then [:float, [v].pack('E')]
  when String then [:string, v.encoding.name, v.b]
  when Array then [:array, v.map { |e| canon(e) }]
  when Hash then [:hash, v.map { |k, e| [canon(k), canon(e)] }, canon(v.default)]
  when Packed then [:packed, v.class.name, v.bytes.b]
  else [:object, v.class.name, v.instance_variables.map { |iv| [iv, canon(v.instance_variable_get(iv))] }]
  end
end

def first_difference(a, b, path = 'root')
  return nil if a == b
  if a.is_a?(Array) && b.is_a?(Array) && a.size == b.size
    a.each_index do |i|
      d = first_difference(a[i], b[i], "#{path}[#{i}]")
      return d if d
    end
  end
  "#{path}: #{a.inspect[0, 200]} != #{b.inspect[0, 200]}"
end

def set_cell(table, x, y, value)
  dim, xsize, ysize, zsize, count = table.bytes.unpack('l<5')
  cells = table.bytes.byteslice(20, 2 * count).unpack('s<*')
  cells[x + y * xsize] = value
  table.bytes = [dim, xsize, ysize, zsize, count].pack('l<5') + cells.pack('s<*')
end

def plain!(v)
  case v
  when String then v.force_encoding(Encoding::BINARY)
  when Array then v.each { |e| plain!(e) }
  when Hash then v.each { |k, e| plain!(k) && plain!(e) }
  when Rec then v.instance_variables.each { |iv| plain!(v.instance_variable_get(iv)) }
  end
  v
end

if ARGV[0] == '--share'
  system = load_data(ARGV[1])
  switches = system.instance_variable_get(:@switches)
  switches[2] = switches[1]
  system.instance_variable_get(:@variables)[1] = switches[1]
  save_data(ARGV[1], system)
  exit 0
end

if ARGV[0] == '--plain'
  save_data(ARGV[1], plain!(load_data(ARGV[1])))
  exit 0
end

orig = load_data(ARGV[0])
new = load_data(ARGV[1])
$stdin.each_line do |line|
  kind, *f = line.chomp("\n").split("\t", -1)
  if kind == 'name'
    names = orig.instance_variable_get(:"@#{f[0]}")
    # A new name takes the form (encoding) of the strings already in the array.
    model = (names[1..] + [names[0]]).find { |s| s.is_a?(String) }
    names[f[1].to_i] = f[2].dup.force_encoding(model ? model.encoding : Encoding::BINARY)
  elsif kind == 'param'
    set_cell(orig[f[0].to_i].instance_variable_get(:@parameters), f[1].to_i, f[2].to_i, f[3].to_i)
  end
end
diff = first_difference(canon(orig), canon(new))
if diff
  puts diff
  exit 1
end

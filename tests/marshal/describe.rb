# Prints the canonical text of a Ruby object graph as it appears in a Marshal stream:
# the same form the C++ tests build from a read tree. Objects met a second time print as
# their link "@n" (object index within the dump), as the stream stores them.
class Describer
  def initialize
    @seen = {}
    @next = 0
  end

  def remember(obj)
    @seen[obj.__id__] = @next
    @next += 1
  end

  def d(v)
    case v
    when nil then 'nil'
    when true then 'true'
    when false then 'false'
    when Symbol then ":#{v}"
    when Integer
      return v.to_s if v >= -(2**30) && v < 2**30
      return "@#{@seen[v.__id__]}" if @seen.key?(v.__id__)
      remember(v)
      low = v.abs & (2**64 - 1)
      low = low - 2**64 if low >= 2**63
      (v < 0 ? -low : low).to_s
    when Float
      return "@#{@seen[v.__id__]}" if @seen.key?(v.__id__) && !v.nan?
      remember(v)
      if v.nan? then 'f(nan)'
      elsif v.infinite? then v > 0 ? 'f(inf)' : 'f(-inf)'
      else format('f(%.17g)', v)
      end
    when String
      return "@#{@seen[v.__id__]}" if @seen.key?(v.__id__)
      remember(v)
      "s(#{v.b})"
    when Array
      return "@#{@seen[v.__id__]}" if @seen.key?(v.__id__)
      remember(v)
      '[' + v.map { |e| d(e) }.join(',') + ']'
    when Hash
      return "@#{@seen[v.__id__]}" if @seen.key?(v.__id__)
      remember(v)
      '{' + v.map { |k, e| d(k) + '=>' + d(e) }.join(',') + '}'
    else
      return "@#{@seen[v.__id__]}" if @seen.key?(v.__id__)
      remember(v)
      if v.respond_to?(:_dump)
        "u(#{v.class.name},#{v._dump(0).unpack1('H*')})"
      else
        parts = v.instance_variables.map { |iv| ",#{iv}=#{d(v.instance_variable_get(iv))}" }
        "o(#{v.class.name}#{parts.join})"
      end
    end
  end
end
